// FieldScan: the texts of one field over the rows of a list, one row after
// another up or down, each row's entry read some rows before its text is
// wanted.
//
// At a million rows the entries lie scattered over the heap (all the more
// once the list is sorted), and reading them one at a time waits for memory
// once or twice per row.  Asking for the entries of the rows ahead lets those
// waits overlap, which makes a scan over every row (a sort's keys, a Find
// with no hit) several times faster.
#pragma once

#include <array>
#include <string_view>

#include "addressbook/address_list.h"

namespace addresslist {

class FieldScan {
public:
    // Starts at `firstRow` and moves by `step` (1 or -1) while the row lies
    // in 0..RowCount()-1.  The list must not change during the scan.
    FieldScan(const addressbook::IAddressList& list, int field, int firstRow, int step);

    bool AtEnd() const { return !InRange(m_nRow); }
    int Row() const { return m_nRow; }
    // The text of `field` in Row(); valid until the list changes.
    std::string_view Text() const { return m_ahead[m_nCount % kAhead]; }
    void Next();

private:
    static constexpr int kAhead = 8;

    bool InRange(int row) const { return row >= 0 && row < m_nRows; }
    // Reads the text of the row `kAhead` places after `row`'s predecessor
    // into its slot and asks for the entry twice as far ahead.
    void ReadAhead(int k);

    const addressbook::IAddressList& m_list;
    int m_nField;
    int m_nStep;
    int m_nRows;
    int m_nFirst;
    int m_nRow;
    int m_nCount = 0;  // rows passed so far
    std::array<std::string_view, kAhead> m_ahead{};
};

}  // namespace addresslist
