// IAddressList: what the document, the book file mapping and the import need
// of the address list.  The window's list model implements it; so does
// VectorAddressList for the command-line tool and the tests.
#pragma once

#include <memory>

#include "addressbook/address_entry.h"

namespace addressbook {

class IAddressList {
public:
    virtual ~IAddressList() = default;
    virtual int RowCount() const = 0;
    // The entry of `row`, 0 <= row < RowCount(), in the current display order.
    virtual const CAddressEntry& EntryAt(int row) const = 0;
    // Appends a row owning `entry` after the last row; false when the row is
    // refused (the entry is then destroyed).
    virtual bool AppendEntry(std::unique_ptr<CAddressEntry> entry) = 0;
    virtual void SetRedraw(bool on) = 0;
    // Announces how many rows a bulk load is about to append.
    virtual void ReserveRows(int count) = 0;
    // Re-applies the remembered sort; may do nothing.
    virtual void ResortList() = 0;
};

}  // namespace addressbook
