// The mapping between address entries and the `contact` clauses of a book
// file, and the toolkit-free halves of opening and saving a book.
//
// A book file holds one `contact` clause per entry, with the 32 attributes in
// field order and every value a string:
//
//     contact('LastName' = "Doe",
//       'FirstName' = "Jane",
//       ...
//       'Notes' = "").
//
// The clause database is only a staging area: it is emptied before each use
// and again after a successful one.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "addressbook/address_list.h"
#include "addressbook/field_table.h"
#include "clausedb/expr_database.h"
#include "clausedb/expr_term.h"

namespace addressbook {

inline constexpr std::string_view kContactFunctor = "contact";

// Adds the 32 attributes of `entry` to `clause`, in field order, empty texts
// included.
void FillClauseFromEntry(clausedb::CExprTerm clause, const CAddressEntry& entry);

// Appends one `contact` clause per row of `list`, top row first.
void StoreEntriesAsClauses(const IAddressList& list, clausedb::CExprDatabase& db);

// The text of each field's attribute in `clause`, exactly as
// GetAttributeText(attribute name) would give it: the first pair with the
// name counts; a missing pair or a value that is neither a word nor a string
// gives the empty text.  One walk over the clause instead of 32.  The views
// point into the database's store.
void GetFieldTexts(clausedb::CExprTerm clause, std::array<std::string_view, kFieldCount>& texts);

// Makes a new entry from `clause` and appends it to `list`.  False when the
// list refuses the row.
bool InsertEntryFromClause(clausedb::CExprTerm clause, IAddressList& list);

// Appends one row per `contact` clause of `db` in database order (clauses
// with other functors are skipped) and stops at the first refused row.  Then
// empties `db`, re-applies the list's sort and turns redraw back on.  Returns
// the number of rows appended.
int LoadEntriesFromClauses(clausedb::CExprDatabase& db, IAddressList& list);

// Empties `db` and reads the book at `path` into it.  False when the file
// cannot be read (db.LastFileError() says why) or holds a syntax error; the
// caller then shows none of its entries.
bool ReadBook(clausedb::CExprDatabase& db, const std::string& path);

// Empties `db`, stores the entries of `list` and writes them to `path`.  On
// success `db` is emptied again; on failure it keeps the clauses until its
// next use and the old file at `path` is left as it was.
bool WriteBook(const IAddressList& list, clausedb::CExprDatabase& db, const std::string& path);

}  // namespace addressbook
