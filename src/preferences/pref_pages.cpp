#include "preferences/pref_pages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <numeric>

#include "platform/data_exchange.h"
#include "platform/string_resource.h"
#include "preferences/spin_edit.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace preferences {

namespace {

// The integers of [Preferences] in the order they are written, with the
// defaults the sheet shows.  "ConfirmDelete" is written last, after the texts.
struct IntField {
    const settings::IntSetting* setting;
    int GeneralSettings::*member;
};
const IntField kIntFields[] = {
    {&settings::kUseLastBook, &GeneralSettings::useLastBook},
    {&settings::kRememberSort, &GeneralSettings::rememberSort},
    {&settings::kRememberCol, &GeneralSettings::rememberCol},
    {&settings::kRememberPos, &GeneralSettings::rememberPos},
    {&settings::kRememberExp, &GeneralSettings::rememberExp},
    {&settings::kRememberImp, &GeneralSettings::rememberImp},
    {&settings::kRememberWin, &GeneralSettings::rememberWin},
    {&settings::kRememberTray, &GeneralSettings::rememberTray},
    {&settings::kStartMinimized, &GeneralSettings::startMinimized},
    {&settings::kUseMRU, &GeneralSettings::useMRU},
    {&settings::kNumMRU, &GeneralSettings::numMRU},
};
const IntField kConfirmDeleteField = {&settings::kConfirmDelete, &GeneralSettings::confirmDelete};

struct TextField {
    const settings::StringSetting* setting;
    std::string GeneralSettings::*member;
};
const TextField kTextFields[] = {
    {&settings::kDefaultCity, &GeneralSettings::city},
    {&settings::kDefaultCountry, &GeneralSettings::country},
    {&settings::kDefaultComp, &GeneralSettings::company},
    {&settings::kDefaultEmail, &GeneralSettings::email},
    {&settings::kDefaultPrefix, &GeneralSettings::prefix},
    {&settings::kDefaultState, &GeneralSettings::state},
    {&settings::kDefaultWebInSheet, &GeneralSettings::web},
    {&settings::kDefaultZip, &GeneralSettings::zip},
};

// The check boxes of the page, top to bottom as laid out: the eight of
// "Remember These Items", then "Show on File Menu", then the two along the
// bottom.
struct CheckControl {
    int id;
    const char* caption;
    int GeneralSettings::*member;
};
const CheckControl kCheckControls[11] = {
    {kIdLastBook, "Last Address Book", &GeneralSettings::useLastBook},
    {kIdLastSort, "Last Sort Used", &GeneralSettings::rememberSort},
    {kIdColumnWidths, "Column Widths", &GeneralSettings::rememberCol},
    {kIdColumnPositions, "Column Positions", &GeneralSettings::rememberPos},
    {kIdImportSettings, "Import Settings", &GeneralSettings::rememberImp},
    {kIdExportSettings, "Export Settings", &GeneralSettings::rememberExp},
    {kIdWindowSize, "Window Size", &GeneralSettings::rememberWin},
    {kIdConfirmDeletes, "Confirm Deletes", &GeneralSettings::confirmDelete},
    {kIdShowRecent, "Show on File Menu", &GeneralSettings::useMRU},
    {kIdMinimizeToTray, "Minimize to Tray", &GeneralSettings::rememberTray},
    {kIdStartMinimized, "Start Minimized", &GeneralSettings::startMinimized},
};
constexpr int kRememberCount = 8;
constexpr int kCheckCount = 11;

// The boxes of "Default Data", top to bottom.
struct TextControl {
    int id;
    const char* label;
    std::string GeneralSettings::*member;
};
const TextControl kTextControls[8] = {
    {kIdCity, "City", &GeneralSettings::city},
    {kIdState, "State", &GeneralSettings::state},
    {kIdCountry, "Country", &GeneralSettings::country},
    {kIdZip, "Zip Code", &GeneralSettings::zip},
    {kIdAreaCode, "AreaCode", &GeneralSettings::prefix},
    {kIdCompany, "Company", &GeneralSettings::company},
    {kIdEmail, "Email", &GeneralSettings::email},
    {kIdWeb, "Web", &GeneralSettings::web},
};

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QString FieldLabel(int field) {
    return platform::ResourceString(resources::kStrFieldLabelFirst + field);
}

GeneralSettings ReadGeneralSettings(const settings::SettingsStore& store) {
    GeneralSettings values;
    for (const IntField& field : kIntFields) {
        values.*field.member = settings::Read(store, *field.setting);
    }
    values.*kConfirmDeleteField.member = settings::Read(store, *kConfirmDeleteField.setting);
    for (const TextField& field : kTextFields) {
        values.*field.member = settings::Read(store, *field.setting);
    }
    return values;
}

void WriteGeneralSettings(settings::SettingsStore& store, const GeneralSettings& values) {
    for (const IntField& field : kIntFields) {
        settings::Write(store, *field.setting, values.*field.member);
    }
    for (const TextField& field : kTextFields) {
        settings::Write(store, *field.setting, values.*field.member);
    }
    settings::Write(store, *kConfirmDeleteField.setting, values.*kConfirmDeleteField.member);
}

// ---- CSetPage ----

CSetPage::CSetPage(QWidget* parent) : CPropertyPage(QStringLiteral("General Settings"), parent) {
    setObjectName(QString::number(resources::kDlgGeneralSettings));
    for (int i = 0; i < kCheckCount; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(kCheckControls[i].caption), this);
        box->setObjectName(ControlName(kCheckControls[i].id));
        m_checks[static_cast<std::size_t>(i)] = box;
    }

    auto* remember = new QGroupBox(QStringLiteral("Remember These Items"), this);
    auto* rememberLayout = new QVBoxLayout(remember);
    for (int i = 0; i < kRememberCount; ++i) {
        rememberLayout->addWidget(m_checks[static_cast<std::size_t>(i)]);
    }
    rememberLayout->addStretch(1);

    auto* recent = new QGroupBox(QStringLiteral("Recent Address Books"), this);
    auto* recentLayout = new QGridLayout(recent);
    recentLayout->addWidget(m_checks[8], 0, 0, 1, 2);
    m_pRecent = new CSpinEdit(recent);
    m_pRecent->setObjectName(ControlName(kIdRecentSpin));
    m_pRecent->Edit()->setObjectName(ControlName(kIdRecentCount));
    m_pRecent->SetRange(kRecentCountMin, kRecentCountMax);
    auto* recentLabel = new QLabel(QStringLiteral("Address Books"), recent);
    recentLabel->setBuddy(m_pRecent);
    recentLayout->addWidget(m_pRecent, 1, 0);
    recentLayout->addWidget(recentLabel, 1, 1);
    recentLayout->setColumnStretch(1, 1);

    auto* defaults = new QGroupBox(QStringLiteral("Default Data"), this);
    auto* defaultsLayout = new QGridLayout(defaults);
    for (int i = 0; i < 8; ++i) {
        auto* edit = new QLineEdit(defaults);
        edit->setObjectName(ControlName(kTextControls[i].id));
        auto* label = new QLabel(QString::fromLatin1(kTextControls[i].label), defaults);
        label->setBuddy(edit);
        defaultsLayout->addWidget(label, i, 0);
        defaultsLayout->addWidget(edit, i, 1);
        m_texts[static_cast<std::size_t>(i)] = edit;
    }
    defaultsLayout->setColumnStretch(1, 1);
    defaultsLayout->setRowStretch(8, 1);

    auto* tray = new QGroupBox(this);
    tray->setObjectName("trayGroup");
    auto* trayLayout = new QHBoxLayout(tray);
    trayLayout->addWidget(m_checks[9]);
    trayLayout->addWidget(m_checks[10]);
    trayLayout->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(remember, 1);
    left->addWidget(recent);
    auto* grid = new QGridLayout(this);
    grid->addLayout(left, 0, 0);
    grid->addWidget(defaults, 0, 1);
    grid->addWidget(tray, 1, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    SetValues(GeneralSettings{});
}

QCheckBox* CSetPage::Check(int id) const {
    for (int i = 0; i < kCheckCount; ++i) {
        if (kCheckControls[i].id == id) {
            return m_checks[static_cast<std::size_t>(i)];
        }
    }
    return nullptr;
}

QLineEdit* CSetPage::Text(int id) const {
    for (int i = 0; i < 8; ++i) {
        if (kTextControls[i].id == id) {
            return m_texts[static_cast<std::size_t>(i)];
        }
    }
    return nullptr;
}

void CSetPage::SetValues(const GeneralSettings& values) {
    for (int i = 0; i < kCheckCount; ++i) {
        m_checks[static_cast<std::size_t>(i)]->setChecked(values.*kCheckControls[i].member != 0);
    }
    for (int i = 0; i < 8; ++i) {
        m_texts[static_cast<std::size_t>(i)]->setText(FromUtf8(values.*kTextControls[i].member));
    }
    m_pRecent->SetValue(values.numMRU);
}

std::optional<GeneralSettings> CSetPage::Exchange() {
    GeneralSettings values;
    for (int i = 0; i < kCheckCount; ++i) {
        values.*kCheckControls[i].member =
            m_checks[static_cast<std::size_t>(i)]->isChecked() ? 1 : 0;
    }
    std::optional<int> count =
        platform::ExchangeInteger(m_pRecent->Edit(), kRecentCountMin, kRecentCountMax, window());
    if (!count) {
        return std::nullopt;
    }
    values.numMRU = *count;
    for (int i = 0; i < 8; ++i) {
        values.*kTextControls[i].member =
            m_texts[static_cast<std::size_t>(i)]->text().toStdString();
    }
    return values;
}

bool CSetPage::OnOK() {
    std::optional<GeneralSettings> values = Exchange();
    if (values) {
        m_accepted = *values;
    }
    return values.has_value();
}

// ---- CColPage ----

CColPage::CColPage(const ColumnArray& defaultWidths, QWidget* parent)
    : CPropertyPage(QStringLiteral("Column Widths"), parent), m_defaults(defaultWidths) {
    setObjectName(QString::number(resources::kDlgColumnWidths));
    auto* grid = new QGridLayout(this);
    constexpr int kRows = 12;
    for (int position = 0; position < kColumnCount; ++position) {
        const int number = position + 1;
        auto* box = new CSpinEdit(this);
        box->setObjectName(QStringLiteral("columnSpin%1").arg(number));
        box->Edit()->setObjectName(QStringLiteral("columnWidth%1").arg(number));
        box->SetRange(kColumnWidthMin, kColumnWidthMax);
        auto* label = new QLabel(QStringLiteral("Column %1").arg(number), this);
        label->setBuddy(box);
        const int row = position % kRows;
        const int column = (position / kRows) * 3;
        grid->addWidget(label, row, column);
        grid->addWidget(box, row, column + 1);
        m_boxes[static_cast<std::size_t>(position)] = box;
    }
    // Space between the three columns of boxes.
    grid->setColumnMinimumWidth(2, 18);
    grid->setColumnMinimumWidth(5, 18);

    // The hint and Reset fill the room under the third column's eight boxes.
    auto* hint = new QGroupBox(QStringLiteral("Hint"), this);
    auto* hintLayout = new QVBoxLayout(hint);
    auto* hintText = new QLabel(QStringLiteral("Set column to zero to hide"), hint);
    hintText->setWordWrap(true);
    hintLayout->addWidget(hintText);
    auto* reset = new QPushButton(QStringLiteral("Reset"), this);
    reset->setObjectName(ControlName(kIdWidthsReset));
    reset->setAutoDefault(false);
    connect(reset, &QPushButton::clicked, this, &CColPage::OnReset);
    auto* corner = new QVBoxLayout;
    corner->addWidget(hint);
    corner->addWidget(reset, 0, Qt::AlignRight);
    grid->addLayout(corner, 8, 6, 4, 2);
    // The sheet is as tall as its tallest page; spare height goes evenly
    // between the rows, so the boxes fill the page instead of leaving a
    // gap under the last row.
    for (int row = 0; row < kRows; ++row) {
        grid->setRowStretch(row, 1);
    }

    SetWidths(ColumnArray{});
}

void CColPage::SetWidths(const ColumnArray& widths) {
    for (int position = 0; position < kColumnCount; ++position) {
        Box(position)->SetValue(widths[static_cast<std::size_t>(position)]);
    }
}

std::optional<ColumnArray> CColPage::Exchange() {
    ColumnArray widths{};
    for (int position = 0; position < kColumnCount; ++position) {
        std::optional<int> width = platform::ExchangeInteger(Box(position)->Edit(), window());
        if (!width) {
            return std::nullopt;
        }
        widths[static_cast<std::size_t>(position)] = *width;
    }
    return widths;
}

bool CColPage::OnOK() {
    std::optional<ColumnArray> widths = Exchange();
    if (widths) {
        m_accepted = *widths;
    }
    return widths.has_value();
}

void CColPage::OnReset() {
    SetWidths(m_defaults);
}

// ---- COrdPage ----

COrdPage::COrdPage(settings::SettingsStore& store, ColumnStringFormat format, QWidget* parent)
    : CPropertyPage(QStringLiteral("Column Order"), parent),
      m_settings(store),
      m_format(std::move(format)) {
    setObjectName(QString::number(resources::kDlgColumnOrder));
    m_pList = new QListWidget(this);
    m_pList->setObjectName(ControlName(kIdOrderList));
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSortingEnabled(false);

    struct Button {
        int id;
        const char* caption;
        void (COrdPage::*handler)();
    };
    const Button buttons[] = {
        {kIdMoveUp, "Move Up", &COrdPage::OnMoveUp},
        {kIdMoveDown, "Move Down", &COrdPage::OnMoveDown},
        {kIdOrderReset, "Reset", &COrdPage::OnReset},
    };
    auto* column = new QVBoxLayout;
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(ControlName(b.id));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, b.handler);
        column->addWidget(button);
    }
    column->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_pList, 1);
    layout->addLayout(column);
}

void COrdPage::OnInitPage() {
    ColumnArray order{};
    std::iota(order.begin(), order.end(), 0);
    const std::string stored = settings::Read(m_settings, settings::kColumnOrder);
    if (!stored.empty() && m_format.parseOrder) {
        // A string that names a field outside 0..31 is not used: it would
        // put no label on its line.
        if (std::optional<ColumnArray> parsed = m_format.parseOrder(stored)) {
            order = *parsed;
        }
    }
    m_pList->clear();
    for (int field : order) {
        m_pList->addItem(FieldLabel(field));
    }
    m_pList->setCurrentRow(0);
}

void COrdPage::MoveSelected(int delta) {
    const int row = m_pList->currentRow();
    const bool selected = row >= 0 && m_pList->item(row)->isSelected();
    const int target = row + delta;
    if (!selected || target < 0 || target >= m_pList->count()) {
        return;
    }
    QListWidgetItem* item = m_pList->takeItem(row);
    m_pList->insertItem(target, item);
    m_pList->setCurrentRow(target);
}

void COrdPage::OnMoveUp() {
    MoveSelected(-1);
}

void COrdPage::OnMoveDown() {
    MoveSelected(+1);
}

void COrdPage::OnReset() {
    m_pList->clear();
    for (int field = 0; field < kColumnCount; ++field) {
        m_pList->addItem(FieldLabel(field));
    }
    m_pList->setCurrentRow(0);
}

ColumnArray COrdPage::CurrentOrder() const {
    ColumnArray order{};
    std::iota(order.begin(), order.end(), 0);
    for (int field = 0; field < kColumnCount; ++field) {
        const QString label = FieldLabel(field);
        for (int line = 0; line < m_pList->count() && line < kColumnCount; ++line) {
            if (m_pList->item(line)->text().compare(label, Qt::CaseInsensitive) == 0) {
                order[static_cast<std::size_t>(line)] = field;
                break;
            }
        }
    }
    return order;
}

void COrdPage::OnDestroyPage() {
    if (m_bDestroyed || !WasShown()) {
        return;
    }
    m_bDestroyed = true;
    if (settings::Read(m_settings, settings::kRememberPos) != 0 && m_format.format) {
        settings::Write(m_settings, settings::kColumnOrder, m_format.format(CurrentOrder()));
    }
}

}  // namespace preferences
