#include "entries/prop_info.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "addressbook/extra_description.h"
#include "entries/entry_services.h"
#include "entries/notes_text.h"
#include "platform/control_name.h"
#include "resources/string_table.h"

namespace entries {

using namespace addressbook;

namespace {

constexpr PageBox kAddressBoxes[] = {
    {kIdFirstName, FirstName, "First Name", false},
    {kIdLastName, LastName, "Last Name", false},
    {kIdMiddleInitial, MiddleInitial, "M.I.", false},
    {kIdTitle, Title, "Title", true},
    {kIdAddress1, Address1, "Address 1", false},
    {kIdAddress2, Address2, "Address 2", false},
    {kIdCity, City, "City", false},
    {kIdState, State, "State", false},
    {kIdZipCode, ZipCode, "Zip Code", true},
    {kIdCountry, Country, "Country", false},
};

constexpr PageBox kBusinessBoxes[] = {
    {kIdCompany, Company, "Company", false},
    {kIdDepartment, Department, "Department", false},
    {kIdPosition, Position, "Position", false},
    {kIdManager, Manager, "Manager", false},
    {kIdAdditional1, Additional1, "Additional 1", false},
    {kIdAdditional2, Additional2, "Additional 2", false},
};

constexpr PageBox kPhoneBoxes[] = {
    {kIdHomePhone, HomePhone, "Home Phone", false},
    {kIdHomeExt, HomeExt, "Ext.", true},
    {kIdWorkPhone, WorkPhone, "Work Phone", false},
    {kIdWorkExt, WorkExt, "Ext.", true},
    {kIdPager, Pager, "Pager Phone", false},
    {kIdPagerExt, PagerExt, "Ext.", true},
    {kIdPagerCard, PagerCard, "Pager Code", false},
    {kIdFaxPhone, FaxPhone, "Fax Phone", false},
    {kIdFaxExt, FaxExt, "Ext.", true},
    {kIdCellPhone, CellPhone, "Cellular Phone", false},
    {kIdCellExt, CellExt, "Ext.", true},
};

constexpr PageBox kOnlineBoxes[] = {
    {kIdEmail1, Email1, "E-Mail 1", false},
    {kIdEmail2, Email2, "E-Mail 2", false},
    {kIdWeb1, Web1, "Web Page 1", false},
    {kIdWeb2, Web2, "Web Page 2", false},
};

constexpr PageBox kNoteBoxes[] = {
    {kIdNotes, Notes, "", false},
};

// The multi-line box's text with its paragraph and line separators as
// "\n".  toRawText keeps every other character (toPlainText would turn
// non-breaking spaces into plain blanks).
QString NotesBoxText(const QPlainTextEdit& box) {
    QString text = box.document()->toRawText();
    for (QChar& ch : text) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator) {
            ch = QLatin1Char('\n');
        }
    }
    return text;
}

}  // namespace

// ---- CPropPage ----

CPropPage::CPropPage(const QString& title, std::span<const PageBox> boxes, QWidget* parent)
    : CPropertyPage(title, parent), m_boxes(boxes), m_members(boxes.size()) {
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    // Pages without box pairs give their boxes the whole width.
    const bool pairs =
        std::any_of(boxes.begin(), boxes.end(), [](const PageBox& box) { return box.sameRow; });
    int row = -1;
    QWidget* previous = nullptr;
    for (const PageBox& box : boxes) {
        const QString name = platform::ControlName(box.controlId);
        QWidget* widget;
        if (box.field == Notes) {
            auto* edit = new QPlainTextEdit(this);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit->setTabChangesFocus(true);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            widget = edit;
        } else {
            auto* edit = new QLineEdit(this);
            edit->setMaxLength(INT_MAX);  // no length limit
            widget = edit;
        }
        widget->setObjectName(name);
        auto* label = new QLabel(QString::fromUtf8(box.label), this);
        label->setBuddy(widget);
        label->setObjectName(QStringLiteral("label") + name);
        if (box.field == Notes) {
            label->hide();
            grid->addWidget(widget, 0, 0, 1, 4);
        } else if (box.sameRow) {
            grid->addWidget(label, row, 2);
            grid->addWidget(widget, row, 3);
        } else {
            ++row;
            grid->addWidget(label, row, 0);
            grid->addWidget(widget, row, 1, 1, pairs ? 1 : 3);
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
        m_widgets.push_back(widget);
    }
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    if (row >= 0) {
        grid->setRowStretch(row + 1, 1);
    }
}

int CPropPage::Slot(int field) const {
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes[i].field == field) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CPropPage::HasField(int field) const {
    return Slot(field) >= 0;
}

QString& CPropPage::Member(int field) {
    return m_members.at(static_cast<std::size_t>(Slot(field)));
}

const QString& CPropPage::Member(int field) const {
    return m_members.at(static_cast<std::size_t>(Slot(field)));
}

QWidget* CPropPage::BoxOf(int field) const {
    const int slot = Slot(field);
    return slot >= 0 ? m_widgets[static_cast<std::size_t>(slot)] : nullptr;
}

void CPropPage::DoDataExchange(bool save) {
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        QWidget* widget = m_widgets[i];
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            if (save) {
                m_members[i] = line->text();
            } else {
                line->setText(m_members[i]);
                line->setCursorPosition(0);
            }
        } else if (auto* multi = qobject_cast<QPlainTextEdit*>(widget)) {
            if (save) {
                m_members[i] = NotesBoxText(*multi);
            } else {
                multi->setPlainText(m_members[i]);
            }
        }
    }
}

bool CPropPage::OnOK() {
    DoDataExchange(true);
    return true;
}

CPropAdd::CPropAdd(QWidget* parent)
    : CPropPage(QStringLiteral("Addresses"), kAddressBoxes, parent) {}
CPropComp::CPropComp(QWidget* parent)
    : CPropPage(QStringLiteral("Business"), kBusinessBoxes, parent) {}
CPropPhone::CPropPhone(QWidget* parent)
    : CPropPage(QStringLiteral("Phones"), kPhoneBoxes, parent) {}
CPropOnline::CPropOnline(QWidget* parent)
    : CPropPage(QStringLiteral("Online"), kOnlineBoxes, parent) {}
CPropNote::CPropNote(QWidget* parent) : CPropPage(QStringLiteral("Notes"), kNoteBoxes, parent) {}

// ---- CPropMore ----

CPropMore::CPropMore(QWidget* parent)
    : CPropertyPage(ResourceString(resources::kStrExtraDataPage), parent) {
    auto* layout = new QVBoxLayout(this);
    auto* caption =
        new QLabel(QStringLiteral("Also kept with this entry (not edited here):"), this);
    m_pBox = new QPlainTextEdit(this);
    m_pBox->setObjectName(platform::ControlName(kIdExtraData));
    m_pBox->setReadOnly(true);
    m_pBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    caption->setBuddy(m_pBox);
    layout->addWidget(caption);
    layout->addWidget(m_pBox);
}

void CPropMore::SetLines(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) {
        texts << FromUtf8(line);
    }
    m_pBox->setPlainText(texts.join(QLatin1Char('\n')));
}

QStringList CPropMore::Lines() const {
    const QString text = m_pBox->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// ---- CPropInfo ----

CPropInfo::CPropInfo(int captionId, QWidget* parent)
    : CPropertySheet(ResourceString(captionId), parent) {
    setObjectName(QStringLiteral("CPropInfo"));
    m_pages = {new CPropAdd, new CPropComp, new CPropPhone, new CPropOnline, new CPropNote};
    for (CPropPage* page : m_pages) {
        AddPage(page);
    }
    resize(sizeHint().expandedTo(QSize(440, 0)));
}

void CPropInfo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // As in any dialog that opens in a text box, its text is selected, so
    // typing replaces it.
    if (auto* first = qobject_cast<QLineEdit*>(focusWidget())) {
        first->selectAll();
    }
}

CPropPage* CPropInfo::PageOf(int field) const {
    for (CPropPage* page : m_pages) {
        if (page->HasField(field)) {
            return page;
        }
    }
    return nullptr;
}

QString& CPropInfo::Member(int field) {
    return PageOf(field)->Member(field);
}

void CPropInfo::UpdateBoxes() {
    for (CPropPage* page : m_pages) {
        page->DoDataExchange(false);
    }
}

void CPropInfo::LoadFromEntry(const CAddressEntry& entry) {
    for (int field = 0; field < kFieldCount; ++field) {
        const auto index = static_cast<std::size_t>(field);
        const std::string_view stored = entry.GetField(field);
        QString text = field == Notes ? FromUtf8(NotesToEditor(stored)) : FromUtf8(stored);
        m_loadedBytes[index] = std::string(stored);
        m_loadedText[index] = text;
        m_loaded[index] = true;
        Member(field) = std::move(text);
    }
    UpdateBoxes();

    const std::vector<std::string> extra = DescribeExtraData(entry);
    if (extra.empty()) {
        if (m_pMore != nullptr) {
            Tabs()->removeTab(Tabs()->indexOf(m_pMore));
            delete m_pMore;
            m_pMore = nullptr;
        }
        return;
    }
    if (m_pMore == nullptr) {
        m_pMore = new CPropMore;
        AddPage(m_pMore);
    }
    m_pMore->SetLines(extra);
}

void CPropInfo::StoreToEntry(CAddressEntry& entry) const {
    for (int field = 0; field < kFieldCount; ++field) {
        const auto index = static_cast<std::size_t>(field);
        const QString& text = PageOf(field)->Member(field);
        if (m_loaded[index] && text == m_loadedText[index]) {
            entry.SetField(field, m_loadedBytes[index]);
        } else if (field == Notes) {
            entry.SetField(field, NotesFromEditor(ToUtf8(text)));
        } else {
            entry.SetField(field, ToUtf8(text));
        }
    }
}

}  // namespace entries
