// Which rows an export writes: every row, or the selected rows only.
//
// An export command makes a CExportScope when it starts.  While more than
// one row is selected the scope is offered: the export's dialog then shows
// the check box "Selected entries only" (MakeSelectedOnlyBox), unticked, and
// Rows(ticked) is what the export reads.  Unticked, or not offered, the
// export writes every row as it always has.
#pragma once

#include <vector>

#include "addressbook/row_subset_list.h"

class QCheckBox;
class QWidget;

namespace entries {

class IEntryListUi;

class CExportScope {
public:
    // Takes the selection of `list` as it is now; `list` must outlive this.
    explicit CExportScope(const IEntryListUi& list);

    // More than one row is selected: the dialog offers the choice.
    bool IsOffered() const { return m_selected.RowCount() > 1; }
    // The selected rows in display order when `selectedOnly` and offered,
    // else every row.
    const addressbook::IAddressList& Rows(bool selectedOnly) const;
    // The same as row numbers of the list.
    std::vector<int> RowNumbers(bool selectedOnly) const;

private:
    const IEntryListUi& m_list;
    addressbook::RowSubsetList m_selected;
};

// The check box "Selected entries only" (object name "SelectedOnly"),
// unticked and hidden until the dialog offers it.
QCheckBox* MakeSelectedOnlyBox(QWidget* parent);

}  // namespace entries
