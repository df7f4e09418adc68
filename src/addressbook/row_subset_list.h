// RowSubsetList: some rows of another list, in the order given, read-only.
// An export or a print of the selected entries reads the selection through
// it as it would read the whole list.
#pragma once

#include <vector>

#include "addressbook/address_list.h"

namespace addressbook {

class RowSubsetList final : public IAddressList {
public:
    // `rows` must stay rows of `list` while this is used.
    RowSubsetList(const IAddressList& list, std::vector<int> rows)
        : m_list(list), m_rows(std::move(rows)) {}

    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    // Row rows[row] of the other list.
    const CAddressEntry& EntryAt(int row) const override;
    // Refuses every row: the subset only reads.
    bool AppendEntry(std::unique_ptr<CAddressEntry> entry) override;
    void SetRedraw(bool) override {}
    void ReserveRows(int) override {}
    void ResortList() override {}

    const std::vector<int>& Rows() const { return m_rows; }

private:
    const IAddressList& m_list;
    std::vector<int> m_rows;
};

}  // namespace addressbook
