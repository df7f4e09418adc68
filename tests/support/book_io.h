// Shortcuts over the program's own open and export for tests and benchmarks
// that keep their books in memory.  Only for targets that link the address
// book library.
#pragma once

#include <string>
#include <string_view>

#include "addressbook/book_file.h"
#include "addressbook/delimited_export.h"
#include "clausedb/expr_database.h"
#include "support/book_generator.h"

namespace testsupport {

// Opens book text (line feeds as the reader sees them) into `list` as the
// program opens a book: the rows appended, or -1 when the text is refused.
inline int LoadBookText(std::string_view text, addressbook::IAddressList& list) {
    clausedb::CExprDatabase db;
    addressbook::StagedEntries staged;
    if (!addressbook::ReadBookText(db, text, staged)) {
        return -1;
    }
    return addressbook::LoadEntries(staged, list);
}

// The entry of a generated contact.
inline addressbook::CAddressEntry EntryOf(const bench::Contact& contact) {
    addressbook::CAddressEntry entry;
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        entry.SetField(field, contact[static_cast<std::size_t>(field)]);
    }
    return entry;
}

// Every field in a column of its own, in field order: column 1 for the last
// name through column 32 for the notes.
inline addressbook::ColumnMapping AllColumns() {
    addressbook::ColumnMapping columns{};
    for (int field = 0; field < addressbook::kFieldCount; ++field) {
        columns[static_cast<std::size_t>(field)] = field + 1;
    }
    return columns;
}

// Exports `list` into `out` (cleared first) as the program exports to a
// file; returns what ExportDelimited returns.
inline int ExportToText(
    const addressbook::IAddressList& list, const addressbook::ColumnMapping& columns,
    char separator, std::string& out,
    addressbook::ExportQuoting quoting = addressbook::ExportQuoting::kBackslash) {
    out.clear();
    return addressbook::ExportDelimited(
        list, columns, separator,
        [&out](std::string_view bytes) {
            out.append(bytes);
            return true;
        },
        quoting);
}

}  // namespace testsupport
