#include "entries/duplicates_dlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "addressbook/duplicate_finder.h"
#include "addressbook/field_table.h"
#include "entries/entry_services.h"
#include "platform/control_name.h"

namespace entries {

using namespace addressbook;

namespace {

constexpr int kFieldColumn = 0;
constexpr int kKeepColumn = 1;
constexpr int kFirstEntryColumn = 2;
// A group can be very large (a company address that many people share links
// them all); the table shows this many of its entries, and each drop-down
// this many texts.
constexpr std::size_t kShownEntries = 12;
constexpr std::size_t kShownCandidates = 100;

QString ReasonText(unsigned reasons) {
    QStringList words;
    if ((reasons & kMatchName) != 0) {
        words << QStringLiteral("name");
    }
    if ((reasons & kMatchEmail) != 0) {
        words << QStringLiteral("e-mail");
    }
    if ((reasons & kMatchPhone) != 0) {
        words << QStringLiteral("phone");
    }
    return words.join(QStringLiteral(", "));
}

QString GroupLine(const DuplicateGroupEntries& group) {
    return QStringLiteral("%1 (%2 entries; same %3)")
        .arg(GroupName(*group.entries.front()))
        .arg(group.entries.size())
        .arg(ReasonText(group.reasons));
}

}  // namespace

QString GroupName(const CAddressEntry& entry) {
    const QString last = FromUtf8(entry.GetField(LastName)).trimmed();
    const QString first = FromUtf8(entry.GetField(FirstName)).trimmed();
    if (!last.isEmpty() && !first.isEmpty()) {
        return last + QStringLiteral(", ") + first;
    }
    for (const QString& text : {last, first, FromUtf8(entry.GetField(Company)).trimmed(),
                                FromUtf8(entry.GetField(Email1)).trimmed()}) {
        if (!text.isEmpty()) {
            return text;
        }
    }
    return QStringLiteral("(no name)");
}

CDuplicatesDlg::CDuplicatesDlg(std::vector<DuplicateGroupEntries> groups, MergeHandler onMerge,
                               QWidget* parent)
    : QDialog(parent), m_groups(std::move(groups)), m_onMerge(std::move(onMerge)) {
    setWindowTitle(QStringLiteral("Find Duplicates"));
    setObjectName(QStringLiteral("CDuplicatesDlg"));

    m_pSummary = new QLabel(this);
    m_pSummary->setObjectName(QStringLiteral("Summary"));
    m_pGroups = new QListWidget(this);
    m_pGroups->setObjectName(QStringLiteral("Groups"));
    m_pFields = new QTableWidget(this);
    m_pFields->setObjectName(QStringLiteral("Fields"));
    m_pFields->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pFields->setSelectionMode(QAbstractItemView::NoSelection);
    m_pFields->verticalHeader()->hide();
    m_pFields->horizontalHeader()->setStretchLastSection(true);
    auto* note = new QLabel(
        QStringLiteral("Texts that are not kept are added to the notes of the merged entry."),
        this);

    m_pMerge = new QPushButton(QStringLiteral("&Merge"), this);
    m_pMerge->setObjectName(QStringLiteral("Merge"));
    m_pMergeAll = new QPushButton(QStringLiteral("Merge &All"), this);
    m_pMergeAll->setObjectName(QStringLiteral("MergeAll"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(platform::ControlName(platform::kIdCancel));
    m_pMerge->setDefault(true);
    connect(m_pMerge, &QPushButton::clicked, this, &CDuplicatesDlg::OnMerge);
    connect(m_pMergeAll, &QPushButton::clicked, this, &CDuplicatesDlg::OnMergeAll);
    connect(close, &QPushButton::clicked, this, &CDuplicatesDlg::reject);

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_pGroups, 2);
    lists->addWidget(m_pFields, 5);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(note, 1);
    buttons->addWidget(m_pMerge);
    buttons->addWidget(m_pMergeAll);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pSummary);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(900, 480);

    connect(m_pGroups, &QListWidget::currentRowChanged, this, [this] { FillFieldTable(); });
    FillGroupList();
    ShowGroup(0);
}

int CDuplicatesDlg::CurrentGroup() const {
    const int row = m_pGroups->currentRow();
    return row >= 0 && row < GroupCount() ? row : -1;
}

void CDuplicatesDlg::ShowGroup(int index) {
    if (index >= 0 && index < GroupCount()) {
        m_pGroups->setCurrentRow(index);
    }
    FillFieldTable();
}

void CDuplicatesDlg::FillGroupList() {
    m_pGroups->clear();
    int widest = 0;
    const QFontMetrics metrics(m_pGroups->font());
    for (const DuplicateGroupEntries& group : m_groups) {
        const QString line = GroupLine(group);
        m_pGroups->addItem(line);
        m_pGroups->item(m_pGroups->count() - 1)->setToolTip(line);
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    // Wide enough for the lines, within reason.
    m_pGroups->setMinimumWidth(std::min(widest + 24, 360));
    m_pSummary->setText(
        GroupCount() == 1
            ? QStringLiteral("1 group of entries that may describe the same person.")
            : QStringLiteral("%1 groups of entries that may describe the same person.")
                  .arg(GroupCount()));
}

void CDuplicatesDlg::FillFieldTable() {
    m_shownFields.clear();
    m_pFields->clear();
    m_pFields->setRowCount(0);
    const int index = CurrentGroup();
    m_pMerge->setEnabled(index >= 0);
    m_pMergeAll->setEnabled(GroupCount() > 0);
    if (index < 0) {
        m_pFields->setColumnCount(0);
        return;
    }
    const std::vector<const CAddressEntry*>& entries =
        m_groups[static_cast<std::size_t>(index)].entries;
    m_defaults = DefaultMerge(entries);
    for (int field = 0; field < kFieldCount; ++field) {
        const std::string_view first = entries.front()->GetField(field);
        const bool differs =
            m_defaults[static_cast<std::size_t>(field)] != first ||
            std::any_of(entries.begin() + 1, entries.end(), [&](const CAddressEntry* entry) {
                return entry->GetField(field) != first;
            });
        if (differs) {
            m_shownFields.push_back(field);
        }
    }

    const std::size_t shown = std::min(entries.size(), kShownEntries);
    QStringList headers{QStringLiteral("Field"), QStringLiteral("Keep")};
    for (std::size_t i = 0; i < shown; ++i) {
        headers << QStringLiteral("Entry %1").arg(i + 1);
    }
    if (shown < entries.size()) {
        headers << QStringLiteral("(%1 more)").arg(entries.size() - shown);
    }
    m_pFields->setColumnCount(static_cast<int>(headers.size()));
    m_pFields->setHorizontalHeaderLabels(headers);
    m_pFields->setRowCount(static_cast<int>(m_shownFields.size()));
    for (std::size_t r = 0; r < m_shownFields.size(); ++r) {
        const int field = m_shownFields[r];
        const int row = static_cast<int>(r);
        m_pFields->setItem(row, kFieldColumn, new QTableWidgetItem(FromUtf8(FieldAt(field).label)));
        auto* choice = new QComboBox(m_pFields);
        choice->setObjectName(FromUtf8(FieldAt(field).attribute));
        choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        choice->setMinimumContentsLength(16);
        for (const std::string& text : MergeCandidates(entries, field, kShownCandidates)) {
            choice->addItem(FromUtf8(text), FromUtf8(text));
        }
        choice->addItem(QStringLiteral("(none)"), QString());
        const QString chosenText = FromUtf8(m_defaults[static_cast<std::size_t>(field)]);
        int chosen = choice->findData(chosenText);
        if (chosen < 0 && !chosenText.isEmpty()) {
            choice->insertItem(0, chosenText, chosenText);  // beyond the texts listed
            chosen = 0;
        }
        choice->setCurrentIndex(chosen >= 0 ? chosen : choice->count() - 1);
        m_pFields->setCellWidget(row, kKeepColumn, choice);
        for (std::size_t i = 0; i < shown; ++i) {
            m_pFields->setItem(row, kFirstEntryColumn + static_cast<int>(i),
                               new QTableWidgetItem(FromUtf8(entries[i]->GetField(field))));
        }
    }
    m_pFields->resizeColumnsToContents();
}

QComboBox* CDuplicatesDlg::ChoiceBox(int field) const {
    const auto it = std::find(m_shownFields.begin(), m_shownFields.end(), field);
    if (it == m_shownFields.end()) {
        return nullptr;
    }
    return qobject_cast<QComboBox*>(
        m_pFields->cellWidget(static_cast<int>(it - m_shownFields.begin()), kKeepColumn));
}

MergeValues CDuplicatesDlg::ChosenValues() const {
    MergeValues values = m_defaults;
    for (const int field : m_shownFields) {
        if (const QComboBox* choice = ChoiceBox(field)) {
            values[static_cast<std::size_t>(field)] = ToUtf8(choice->currentData().toString());
        }
    }
    return values;
}

void CDuplicatesDlg::OnMerge() {
    const int index = CurrentGroup();
    if (index < 0) {
        return;
    }
    std::vector<DuplicateMerge> merges;
    merges.push_back({m_groups[static_cast<std::size_t>(index)].entries, ChosenValues()});
    if (m_onMerge) {
        m_onMerge(std::move(merges));
    }
    RemoveGroup(index);
    if (m_groups.empty()) {
        accept();
    }
}

void CDuplicatesDlg::OnMergeAll() {
    std::vector<DuplicateMerge> merges;
    merges.reserve(m_groups.size());
    for (const DuplicateGroupEntries& group : m_groups) {
        merges.push_back({group.entries, DefaultMerge(group.entries)});
    }
    if (m_onMerge && !merges.empty()) {
        m_onMerge(std::move(merges));
    }
    m_groups.clear();
    FillGroupList();
    FillFieldTable();
    accept();
}

void CDuplicatesDlg::RemoveGroup(int index) {
    m_groups.erase(m_groups.begin() + index);
    {
        const QSignalBlocker quiet(m_pGroups);
        FillGroupList();
    }
    ShowGroup(std::min(index, GroupCount() - 1));
}

}  // namespace entries
