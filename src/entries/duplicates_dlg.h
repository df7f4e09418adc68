// CDuplicatesDlg: "Find Duplicates", the groups of entries that probably
// describe the same person, and merging them.
//
// At the left the groups, one line each: the first entry's name, how many
// entries and what matched ("Smith, John (2 entries; same name, e-mail)").
// At the right, for the group chosen there, one row per field whose texts
// differ or that the merge fills from another field: the field, the text to
// keep (a drop-down of the texts the group holds for it, plus "(none)";
// the default merge chosen) and each entry's text (of the first 12 entries
// of a larger group).
//
// "&Merge" merges the chosen group with the texts chosen, "Merge &All" every
// group with the default texts.  Each press hands its merges to the merge
// handler at once (the command makes it one step of the undo history);
// merged groups leave the list, and the dialog closes when none is left.
// "Close" ends it.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "addressbook/address_entry.h"
#include "addressbook/duplicate_merge.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace entries {

struct DuplicateGroupEntries {
    std::vector<const addressbook::CAddressEntry*> entries;  // two or more, in list order
    unsigned reasons = 0;                                    // addressbook::MatchReason bits
};

// One group to merge: its entries and the text each field keeps.
struct DuplicateMerge {
    std::vector<const addressbook::CAddressEntry*> entries;
    addressbook::MergeValues values;
};

class CDuplicatesDlg final : public QDialog {
    Q_OBJECT

public:
    using MergeHandler = std::function<void(std::vector<DuplicateMerge> merges)>;

    // The entries must stay alive while the dialog is open; those of a
    // merged group are not looked at again.
    CDuplicatesDlg(std::vector<DuplicateGroupEntries> groups, MergeHandler onMerge,
                   QWidget* parent = nullptr);

    int GroupCount() const { return static_cast<int>(m_groups.size()); }
    // The group shown at the right (-1 for none), and choosing another.
    int CurrentGroup() const;
    void ShowGroup(int index);
    // The fields listed for the current group, in field order.
    const std::vector<int>& ShownFields() const { return m_shownFields; }
    // The drop-down of `field` for the current group; nullptr when the field
    // is not listed.
    QComboBox* ChoiceBox(int field) const;
    // The texts the current group would merge with: the default merge with
    // the listed fields as chosen.
    addressbook::MergeValues ChosenValues() const;

    QListWidget* GroupList() const { return m_pGroups; }
    QTableWidget* FieldTable() const { return m_pFields; }

public slots:
    void OnMerge();
    void OnMergeAll();

private:
    void FillGroupList();
    void FillFieldTable();
    void RemoveGroup(int index);

    std::vector<DuplicateGroupEntries> m_groups;
    MergeHandler m_onMerge;
    std::vector<int> m_shownFields;
    addressbook::MergeValues m_defaults;
    QLabel* m_pSummary = nullptr;
    QListWidget* m_pGroups = nullptr;
    QTableWidget* m_pFields = nullptr;
    QPushButton* m_pMerge = nullptr;
    QPushButton* m_pMergeAll = nullptr;
};

// How a group is named in the list: "Last, First", else the company, the
// first e-mail address, or "(no name)".
QString GroupName(const addressbook::CAddressEntry& entry);

}  // namespace entries
