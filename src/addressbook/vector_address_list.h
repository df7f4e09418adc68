// VectorAddressList: a plain in-memory address list with no sorting.
#pragma once

#include <memory>
#include <vector>

#include "addressbook/address_list.h"

namespace addressbook {

class VectorAddressList : public IAddressList {
public:
    int RowCount() const override { return static_cast<int>(m_entries.size()); }
    const CAddressEntry& EntryAt(int row) const override;
    bool AppendEntry(std::unique_ptr<CAddressEntry> entry) override;
    void SetRedraw(bool on) override { m_bRedraw = on; }
    void ReserveRows(int count) override;
    void ResortList() override { ++m_nResortCount; }

    // Deletes every row and its entry.
    void Clear() { m_entries.clear(); }
    CAddressEntry& MutableEntryAt(int row);
    const std::vector<std::unique_ptr<CAddressEntry>>& Entries() const { return m_entries; }

    // Makes AppendEntry refuse every row once the list holds `rows` rows, as
    // a list that runs out of room would; negative means no limit.
    void SetRowLimit(int rows) { m_nRowLimit = rows; }

    // What the loaders did to the list, for tests.
    bool IsRedrawOn() const { return m_bRedraw; }
    int ResortCount() const { return m_nResortCount; }
    int ReservedRows() const { return m_nReservedRows; }

private:
    std::vector<std::unique_ptr<CAddressEntry>> m_entries;
    int m_nRowLimit = -1;
    bool m_bRedraw = true;
    int m_nResortCount = 0;
    int m_nReservedRows = 0;
};

}  // namespace addressbook
