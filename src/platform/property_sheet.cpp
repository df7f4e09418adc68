#include "platform/property_sheet.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/control_name.h"
#include "platform/dialogs.h"

namespace platform {

// ---- CPropertyPage ----

CPropertyPage::CPropertyPage(const QString& title, QWidget* parent)
    : QWidget(parent), m_strTitle(title) {}

void CPropertyPage::showEvent(QShowEvent* event) {
    if (!m_bShown) {
        m_bShown = true;
        OnInitPage();
    }
    QWidget::showEvent(event);
}

// ---- CPropertySheet ----

CPropertySheet::CPropertySheet(const QString& caption, QWidget* parent) : QDialog(parent) {
    setWindowTitle(caption);
    setWindowIcon(QApplication::windowIcon());

    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName("pages");
    connect(m_pTabs, &QTabWidget::currentChanged, this, &CPropertySheet::OnPageChanged);

    // OK and Cancel only: nothing is applied while the sheet is open.
    m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pButtons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(kIdOk));
    m_pButtons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(kIdCancel));
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &CPropertySheet::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &CPropertySheet::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(m_pButtons);
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    m_pTabs->addTab(page, page->Title());
    // A tabbed dialog otherwise opens with its tab bar focused, and typing
    // goes nowhere.
    if (m_pTabs->count() == 1) {
        FocusFirstControl(page);
    }
}

int CPropertySheet::PageCount() const {
    return m_pTabs->count();
}

CPropertyPage* CPropertySheet::PageAt(int index) const {
    return qobject_cast<CPropertyPage*>(m_pTabs->widget(index));
}

void CPropertySheet::OnPageChanged(int index) {
    if (m_bSwitchingBack) {
        return;
    }
    // The page being left must hold acceptable values; otherwise it stays.
    CPropertyPage* leaving = PageAt(m_nActivePage);
    if (leaving != nullptr && index != m_nActivePage) {
        m_bSwitchingBack = true;
        m_pTabs->setCurrentIndex(m_nActivePage);
        m_bSwitchingBack = false;
        if (!leaving->OnKillActive()) {
            return;
        }
        m_bSwitchingBack = true;
        m_pTabs->setCurrentIndex(index);
        m_bSwitchingBack = false;
    }
    m_nActivePage = index;
}

void CPropertySheet::accept() {
    // Pages are checked when they are left, so only the page on show can
    // hold an unacceptable value; each page still takes its values in turn.
    CPropertyPage* active = PageAt(m_pTabs->currentIndex());
    if (active != nullptr && !active->OnKillActive()) {
        return;
    }
    for (int i = 0; i < PageCount(); ++i) {
        if (!PageAt(i)->OnOK()) {
            return;
        }
    }
    QDialog::accept();
}

void CPropertySheet::done(int result) {
    for (int i = 0; i < PageCount(); ++i) {
        PageAt(i)->OnDestroyPage();
    }
    QDialog::done(result);
}

}  // namespace platform
