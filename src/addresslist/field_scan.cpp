#include "addresslist/field_scan.h"

namespace addresslist {

FieldScan::FieldScan(const addressbook::IAddressList& list, int field, int firstRow, int step,
                     int rowLimit)
    : m_list(list),
      m_nField(field),
      m_nStep(step < 0 ? -1 : 1),
      m_nRows(list.RowCount()),
      m_nFirst(firstRow),
      m_nLimit(rowLimit) {
    for (int k = 0; k < kAhead; ++k) {
        ReadAhead(k);
    }
}

void FieldScan::Next() {
    ++m_nCount;
    ReadAhead(m_nCount + kAhead - 1);
}

bool FieldScan::InScan(int k) const {
    const int row = RowAt(k);
    return row >= 0 && row < m_nRows && (m_nLimit < 0 || k < m_nLimit);
}

void FieldScan::ReadAhead(int k) {
    if (!InScan(k)) {
        return;
    }
    if (InScan(k + kAhead)) {
        const char* entry = reinterpret_cast<const char*>(&m_list.EntryAt(RowAt(k + kAhead)));
        // The line after the entry too: a loaded entry's texts are mostly
        // allocated right behind it.
        __builtin_prefetch(entry);
        __builtin_prefetch(entry + 64);
    }
    m_ahead[static_cast<std::size_t>(k % kAhead)] = m_list.EntryAt(RowAt(k)).GetField(m_nField);
}

}  // namespace addresslist
