#include "entries/select_fields_dlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "entries/entry_services.h"
#include "entries/export_scope.h"
#include "platform/control_name.h"
#include "platform/data_exchange.h"

namespace entries {

namespace {

constexpr int kRowsPerColumn = 12;
// The third column starts this many rows down, under OK and Cancel.
constexpr int kThirdColumnFirstRow = 4;

// Dialog units of the dialog's font: a quarter of the average character
// width across, an eighth of the character height down.
int DluX(const QWidget& widget, int units) {
    const QFontMetrics metrics(widget.font());
    const int average = metrics.horizontalAdvance(QStringLiteral(
                            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                        52;
    return units * std::max(1, average) / 4;
}

int DluY(const QWidget& widget, int units) {
    return units * QFontMetrics(widget.font()).height() / 8;
}

}  // namespace

// ---- CColumnBox ----

CColumnBox::CColumnBox(QWidget* parent) : QAbstractSpinBox(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
    setKeyboardTracking(true);
    SetValue(0);
}

QString CColumnBox::Text() const {
    return lineEdit()->text();
}

void CColumnBox::SetText(const QString& text) {
    lineEdit()->setText(text);
    update();
}

void CColumnBox::SetValue(int value) {
    SetText(QString::number(value));
}

QValidator::State CColumnBox::validate(QString&, int&) const {
    // Anything may be typed; the dialog checks the text on OK.
    return QValidator::Acceptable;
}

int CColumnBox::StepBase() const {
    const platform::IntegerCheck check = platform::CheckInteger(Text());
    return check.value ? std::clamp(*check.value, kStepMin, kStepMax) : kStepMin;
}

void CColumnBox::stepBy(int steps) {
    SetValue(std::clamp(StepBase() + steps, kStepMin, kStepMax));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled CColumnBox::stepEnabled() const {
    const int base = StepBase();
    StepEnabled enabled = StepNone;
    if (base < kStepMax) {
        enabled |= StepUpEnabled;
    }
    if (base > kStepMin) {
        enabled |= StepDownEnabled;
    }
    return enabled;
}

// ---- CSelectFieldsDlg ----

CSelectFieldsDlg::CSelectFieldsDlg(QWidget* parent, Use use) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Select Fields"));
    setObjectName(QStringLiteral("CSelectFieldsDlg"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(DluX(*this, 4));
    grid->setVerticalSpacing(DluY(*this, 2));
    const int boxWidth = DluX(*this, 30);
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        const addressbook::FieldInfo& info = addressbook::FieldAt(field);
        auto* box = new CColumnBox(this);
        box->setObjectName(FromUtf8(info.attribute));
        box->setFixedWidth(boxWidth);
        auto* caption = new QLabel(FromUtf8(info.selectLabel), this);
        caption->setBuddy(box);
        int column;
        int row;
        if (field < 2 * kRowsPerColumn) {
            column = field / kRowsPerColumn;
            row = field % kRowsPerColumn;
        } else {
            column = 2;
            row = kThirdColumnFirstRow + field - 2 * kRowsPerColumn;
        }
        grid->addWidget(box, row, 2 * column);
        grid->addWidget(caption, row, 2 * column + 1);
        m_boxes[static_cast<std::size_t>(field)] = box;
        if (field > 0) {
            setTabOrder(m_boxes[static_cast<std::size_t>(field - 1)], box);
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnStretch(5, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(platform::ControlName(platform::kIdOk));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(platform::ControlName(platform::kIdCancel));
    connect(ok, &QPushButton::clicked, this, &CSelectFieldsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CSelectFieldsDlg::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 4, kThirdColumnFirstRow, 2, Qt::AlignRight | Qt::AlignTop);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_pFirstLine = new QPlainTextEdit(this);
    m_pFirstLine->setObjectName(QStringLiteral("FirstLine"));
    m_pFirstLine->setReadOnly(true);
    m_pFirstLine->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pFirstLine->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_pFirstLine->setFixedHeight(DluY(*this, 37));
    m_pFirstLine->setMinimumWidth(DluX(*this, 236));
    m_pFirstLine->setTabChangesFocus(true);

    m_pSelectedOnly = MakeSelectedOnlyBox(this);
    // The options under the first line.
    auto* options = new QHBoxLayout;
    QWidget* lastOption = m_pFirstLine;
    auto addOption = [&](QWidget* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        options->addWidget(widget);
        setTabOrder(lastOption, widget);
        lastOption = widget;
    };
    if (use == Use::kImport) {
        m_pFirstLineNames = new QCheckBox(QStringLiteral("First line holds column names"), this);
        addOption(m_pFirstLineNames, "FirstLineNames");
        options->addStretch();
        m_pMatchColumns = new QPushButton(QStringLiteral("&Match Columns"), this);
        m_pMatchColumns->setEnabled(false);
        m_pMatchColumns->setAutoDefault(false);
        addOption(m_pMatchColumns, "MatchColumns");
        connect(m_pMatchColumns, &QPushButton::clicked, this, &CSelectFieldsDlg::OnMatchColumns);
    } else {
        m_pRfc4180 = new QCheckBox(QStringLiteral("For spreadsheets (RFC 4180)"), this);
        addOption(m_pRfc4180, "Rfc4180");
        options->addStretch();
    }
    m_pAllFields = new QPushButton(QStringLiteral("&All Fields in Order"), this);
    m_pAllFields->setAutoDefault(false);
    addOption(m_pAllFields, "AllFieldsInOrder");
    connect(m_pAllFields, &QPushButton::clicked, this, &CSelectFieldsDlg::OnAllFieldsInOrder);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_pSelectedOnly);
    layout->addWidget(rule);
    layout->addWidget(m_pFirstLine);
    layout->addLayout(options);
    if (use == Use::kImport) {
        m_pMatchSummary = new QLabel(this);
        m_pMatchSummary->setObjectName(QStringLiteral("MatchSummary"));
        m_pMatchSummary->setWordWrap(true);
        m_pMatchSummary->setMaximumWidth(m_pFirstLine->minimumWidth());
        m_pMatchSummary->hide();
        layout->addWidget(m_pMatchSummary);
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(m_boxes.back(), m_pSelectedOnly);
    setTabOrder(m_pSelectedOnly, m_pFirstLine);
    setTabOrder(lastOption, ok);
    setTabOrder(ok, cancel);
}

void CSelectFieldsDlg::OfferSelectedOnly() {
    m_pSelectedOnly->show();
}

void CSelectFieldsDlg::SetColumnMatch(const std::array<int, addressbook::kFieldCount>& columns,
                                      const QString& summary) {
    m_matched = columns;
    m_strMatchSummary = summary;
    if (m_pMatchColumns != nullptr) {
        m_pMatchColumns->setEnabled(true);
    }
}

void CSelectFieldsDlg::OnMatchColumns() {
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        ColumnBox(field)->SetValue(m_matched[static_cast<std::size_t>(field)]);
    }
    m_pFirstLineNames->setChecked(true);
    m_pMatchSummary->setText(m_strMatchSummary);
    m_pMatchSummary->show();
}

void CSelectFieldsDlg::OnAllFieldsInOrder() {
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        ColumnBox(field)->SetValue(field + 1);
    }
}

void CSelectFieldsDlg::UpdateControls() {
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        ColumnBox(field)->SetValue(m_nColumn[static_cast<std::size_t>(field)]);
    }
    m_pFirstLine->setPlainText(m_strFirstLine);
    m_pSelectedOnly->setChecked(m_bSelectedOnly);
    if (m_pFirstLineNames != nullptr) {
        m_pFirstLineNames->setChecked(m_bFirstLineNames);
    }
    if (m_pRfc4180 != nullptr) {
        m_pRfc4180->setChecked(m_bRfc4180);
    }
}

void CSelectFieldsDlg::accept() {
    std::array<int, addressbook::kFieldCount> columns{};
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        CColumnBox* box = ColumnBox(field);
        // Numbers of 0 or less are accepted (no column), so the refusal
        // names only the highest.
        const platform::IntegerCheck check =
            m_maxColumn ? platform::CheckIntegerAtMost(box->Text(), *m_maxColumn)
                        : platform::CheckInteger(box->Text());
        const std::optional<int> value =
            platform::FinishExchange(check, box->findChild<QLineEdit*>(), this);
        if (!value) {
            return;
        }
        columns[static_cast<std::size_t>(field)] = *value;
    }
    m_nColumn = columns;
    m_bSelectedOnly = m_pSelectedOnly->isVisibleTo(this) && m_pSelectedOnly->isChecked();
    m_bFirstLineNames = m_pFirstLineNames != nullptr && m_pFirstLineNames->isChecked();
    m_bRfc4180 = m_pRfc4180 != nullptr && m_pRfc4180->isChecked();
    QDialog::accept();
}

}  // namespace entries
