#include "entries/find_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "addressbook/field_table.h"
#include "entries/entry_services.h"
#include "entries/find_history.h"
#include "platform/control_name.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace entries {

using platform::ControlName;

CFindDlg::CFindDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Find"));
    setObjectName(QStringLiteral("CFindDlg"));

    m_pFindWhat = new QComboBox(this);
    m_pFindWhat->setObjectName(ControlName(kIdFindWhat));
    m_pFindWhat->setEditable(true);
    m_pFindWhat->setInsertPolicy(QComboBox::NoInsert);
    m_pFindWhat->setMinimumContentsLength(24);
    m_pFindWhat->lineEdit()->setMaxLength(INT_MAX);
    auto* findWhatLabel = new QLabel(QStringLiteral("Fi&nd What:"), this);
    findWhatLabel->setBuddy(m_pFindWhat);

    m_pMatchCase = new QCheckBox(QStringLiteral("Match &Case"), this);
    m_pMatchCase->setObjectName(ControlName(kIdMatchCase));
    m_pStartAtTop = new QCheckBox(QStringLiteral("&Start at Top of File"), this);
    m_pStartAtTop->setObjectName(ControlName(kIdStartAtTop));

    auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
    m_pUp = new QRadioButton(QStringLiteral("&Up"), direction);
    m_pUp->setObjectName(ControlName(kIdFindUp));
    m_pDown = new QRadioButton(QStringLiteral("&Down"), direction);
    m_pDown->setObjectName(ControlName(kIdFindDown));
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(m_pUp);
    directionLayout->addWidget(m_pDown);

    auto* searchField = new QGroupBox(QStringLiteral("Search Field"), this);
    m_pSearchField = new QComboBox(searchField);
    m_pSearchField->setObjectName(ControlName(kIdSearchField));
    m_pSearchField->setMaxVisibleItems(16);
    auto* searchFieldLayout = new QVBoxLayout(searchField);
    searchFieldLayout->addWidget(m_pSearchField);

    m_pFindNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_pFindNext->setObjectName(ControlName(kIdFindNext));
    m_pFindNext->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(ControlName(platform::kIdCancel));
    connect(m_pFindNext, &QPushButton::clicked, this, &CFindDlg::OnFindNext);
    connect(cancel, &QPushButton::clicked, this, &CFindDlg::reject);

    auto* grid = new QGridLayout;
    grid->addWidget(findWhatLabel, 0, 0);
    grid->addWidget(m_pFindWhat, 0, 1, 1, 2);
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_pMatchCase);
    checks->addWidget(m_pStartAtTop);
    checks->addStretch();
    grid->addLayout(checks, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2);
    grid->addWidget(searchField, 2, 0, 1, 3);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pFindNext);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_pFindWhat, m_pMatchCase);
    setTabOrder(m_pMatchCase, m_pStartAtTop);
    setTabOrder(m_pStartAtTop, m_pUp);
    setTabOrder(m_pUp, m_pDown);
    setTabOrder(m_pDown, m_pSearchField);
    setTabOrder(m_pSearchField, m_pFindNext);
    setTabOrder(m_pFindNext, cancel);
}

void CFindDlg::OnInitDialog(FindHistory* history) {
    m_pHistory = history;
    m_pFindWhat->clear();
    if (history != nullptr) {
        m_pFindWhat->addItems(history->Items());
    }
    m_pFindWhat->setEditText(m_strFindText);
    m_pFindWhat->lineEdit()->selectAll();
    m_pMatchCase->setChecked(m_nMatchCase != 0);
    (m_nDirection == 0 ? m_pUp : m_pDown)->setChecked(true);
    m_pStartAtTop->setChecked(m_nStartAtTop != 0);

    m_pSearchField->clear();
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        m_pSearchField->addItem(ResourceString(resources::kStrFieldLabelFirst + field));
    }
    m_pSearchField->setCurrentIndex(m_nSearchField);
    m_pFindWhat->setFocus(Qt::OtherFocusReason);
}

void CFindDlg::ReadControls() {
    m_strFindText = m_pFindWhat->currentText();
    m_nMatchCase = m_pMatchCase->isChecked() ? 1 : 0;
    m_nDirection = m_pUp->isChecked() ? 0 : 1;
    m_nStartAtTop = m_pStartAtTop->isChecked() ? 1 : 0;
    const int field = std::max(0, m_pSearchField->currentIndex());
    if (field != m_nSearchField) {
        m_nSearchField = field;
        emit searchFieldChanged(field);
    }
}

void CFindDlg::OnFindNext() {
    ReadControls();
    if (m_strFindText.isEmpty()) {
        QApplication::beep();
        m_pFindWhat->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
    if (m_pHistory != nullptr) {
        m_pHistory->Add(m_strFindText);
    }
}

}  // namespace entries
