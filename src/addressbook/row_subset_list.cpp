#include "addressbook/row_subset_list.h"

namespace addressbook {

const CAddressEntry& RowSubsetList::EntryAt(int row) const {
    return m_list.EntryAt(m_rows.at(static_cast<std::size_t>(row)));
}

bool RowSubsetList::AppendEntry(std::unique_ptr<CAddressEntry>) {
    return false;
}

}  // namespace addressbook
