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
    // in 0..RowCount()-1, for at most `rowLimit` rows (negative: no limit).
    // The list must not change during the scan.
    FieldScan(const addressbook::IAddressList& list, int field, int firstRow, int step,
              int rowLimit = -1);

    bool AtEnd() const { return !InScan(m_nCount); }
    int Row() const { return RowAt(m_nCount); }
    // The text of `field` in Row(); valid until the list changes.
    std::string_view Text() const { return m_ahead[m_nCount % kAhead]; }
    void Next();

private:
    static constexpr int kAhead = 8;

    // The `k`th row of the scan (counted from 0).
    int RowAt(int k) const { return m_nFirst + k * m_nStep; }
    // True when the `k`th row of the scan is part of it.
    bool InScan(int k) const;
    // Reads the text of the `k`th row of the scan into its slot and asks for
    // the entry `kAhead` rows further.
    void ReadAhead(int k);

    const addressbook::IAddressList& m_list;
    int m_nField;
    int m_nStep;
    int m_nRows;
    int m_nFirst;
    int m_nLimit;
    int m_nCount = 0;  // rows passed so far
    std::array<std::string_view, kAhead> m_ahead{};
};

}  // namespace addresslist
