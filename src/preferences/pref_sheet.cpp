#include "preferences/pref_sheet.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/string_resource.h"
#include "resources/string_table.h"
#include "settings/settings_store.h"

namespace preferences {

CPrefPage::CPrefPage(settings::SettingsStore& settings, const ColumnArray& defaultWidths,
                     ColumnStringFormat format, QWidget* parent)
    : QDialog(parent) {
    setObjectName("preferencesSheet");
    setWindowTitle(platform::ResourceString(resources::kStrPreferencesCaption));
    setWindowIcon(QApplication::windowIcon());

    m_pTabs = new QTabWidget(this);
    m_pTabs->setObjectName("pages");
    m_pSetPage = new CSetPage(m_pTabs);
    m_pColPage = new CColPage(defaultWidths, m_pTabs);
    m_pOrdPage = new COrdPage(settings, std::move(format), m_pTabs);
    for (CPropertyPage* page :
         {static_cast<CPropertyPage*>(m_pSetPage), static_cast<CPropertyPage*>(m_pColPage),
          static_cast<CPropertyPage*>(m_pOrdPage)}) {
        m_pTabs->addTab(page, page->Title());
    }
    m_pTabs->setCurrentIndex(0);
    connect(m_pTabs, &QTabWidget::currentChanged, this, &CPrefPage::OnPageChanged);

    m_pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pButtons->button(QDialogButtonBox::Ok)->setObjectName("IDOK");
    m_pButtons->button(QDialogButtonBox::Cancel)->setObjectName("IDCANCEL");
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &CPrefPage::accept);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &CPrefPage::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(m_pButtons);
    platform::FocusFirstControl(PageAt(0));
}

CPropertyPage* CPrefPage::PageAt(int index) const {
    return qobject_cast<CPropertyPage*>(m_pTabs->widget(index));
}

void CPrefPage::OnPageChanged(int index) {
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

void CPrefPage::accept() {
    // Pages are checked when they are left, so only the page on show can
    // hold an unacceptable value; each page is still exchanged in turn.
    CPropertyPage* active = PageAt(m_pTabs->currentIndex());
    if (active != nullptr && !active->OnKillActive()) {
        return;
    }
    std::optional<GeneralSettings> general = m_pSetPage->Exchange();
    std::optional<ColumnArray> widths = general ? m_pColPage->Exchange() : std::nullopt;
    if (!general || !widths) {
        return;
    }
    m_accepted = *general;
    m_acceptedWidths = *widths;
    QDialog::accept();
}

void CPrefPage::done(int result) {
    // The sheet's pages close with it, OK or Cancel.
    m_pOrdPage->OnDestroyPage();
    QDialog::done(result);
}

bool RunPreferences(QWidget* parent, settings::SettingsStore& settings,
                    const PreferencesColumns& columns, const SheetRunner& run) {
    CPrefPage sheet(settings, columns.defaultWidths, columns.format, parent);
    sheet.SetPage().SetValues(ReadGeneralSettings(settings));
    sheet.ColPage().SetWidths(columns.widths);

    const int result = run ? run(sheet) : sheet.exec();
    if (result != QDialog::Accepted) {
        return false;
    }
    const GeneralSettings& values = sheet.AcceptedSettings();
    WriteGeneralSettings(settings, values);
    if (values.rememberCol == 1 && columns.applyWidths) {
        columns.applyWidths(sheet.AcceptedWidths());
    }
    return true;
}

}  // namespace preferences
