#include "addressbook/vector_address_list.h"

namespace addressbook {

const CAddressEntry& VectorAddressList::EntryAt(int row) const {
    return *m_entries.at(static_cast<std::size_t>(row));
}

CAddressEntry& VectorAddressList::MutableEntryAt(int row) {
    return *m_entries.at(static_cast<std::size_t>(row));
}

bool VectorAddressList::AppendEntry(std::unique_ptr<CAddressEntry> entry) {
    if (!entry || (m_nRowLimit >= 0 && RowCount() >= m_nRowLimit)) {
        return false;
    }
    m_entries.push_back(std::move(entry));
    return true;
}

void VectorAddressList::ReserveRows(int count) {
    m_nReservedRows = count;
    if (count > 0) {
        m_entries.reserve(m_entries.size() + static_cast<std::size_t>(count));
    }
}

}  // namespace addressbook
