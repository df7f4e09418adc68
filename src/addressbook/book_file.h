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
//
// Two ways through it:
// - Streaming (what the window's document and the tool use): ReadBookEntries
//   then LoadStagedEntries to open, SaveBook to save.  Each clause is
//   converted or written as soon as it is complete and then given back to
//   the store, so the database never holds more than one clause and a book
//   of any size costs little more memory than its entries.
// - Whole book: ReadBook then LoadEntriesFromClauses, and WriteBook, which
//   hold every clause of the book in the database at once.  Both ways give
//   the same entries, the same errors and the same bytes.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "addressbook/address_list.h"
#include "addressbook/field_table.h"
#include "clausedb/attribute_names.h"
#include "clausedb/expr_database.h"
#include "clausedb/expr_term.h"

namespace addressbook {

inline constexpr std::string_view kContactFunctor = "contact";

// The 32 attribute names in field order, for adding and reading attributes
// of many clauses quickly (one object for the program: use it from one
// thread only).
const clausedb::CAttributeNames& FieldAttributes();

// Adds the 32 attributes of `entry` to `clause`, in field order, empty texts
// included, and then the entry's extra data (extra_data.h).
void FillClauseFromEntry(clausedb::CExprTerm clause, const CAddressEntry& entry);

// Appends one `contact` clause per row of `list`, top row first.
void StoreEntriesAsClauses(const IAddressList& list, clausedb::CExprDatabase& db);

// The text of each field's attribute in `clause`, exactly as
// GetAttributeText(attribute name) would give it: the first pair with the
// name counts; a missing pair or a value that is neither a word nor a string
// gives the empty text.  One walk over the clause instead of 32.  The views
// point into the database's store.
void GetFieldTexts(clausedb::CExprTerm clause, std::array<std::string_view, kFieldCount>& texts);

// A new entry holding the fields of `clause` (see GetFieldTexts) and, as its
// extra data, every other argument of the clause.
std::unique_ptr<CAddressEntry> EntryFromClause(clausedb::CExprTerm clause);

// Makes a new entry from `clause` and appends it to `list`.  False when the
// list refuses the row.
bool InsertEntryFromClause(clausedb::CExprTerm clause, IAddressList& list);

// Entries read from a book or a delimited text file, waiting to be appended
// to the address list.
struct StagedEntries {
    std::vector<std::unique_ptr<CAddressEntry>> entries;
    // The row count announced to the list before the bulk append: the number
    // of clauses read, as LoadEntriesFromClauses announces CountClauses().
    int announcedRows = 0;

    void Clear() {
        entries.clear();
        announcedRows = 0;
    }
};

// Streaming open, first half; the window's document calls this from
// OnOpenDocument.  Empties `db` and reads the book at `path` clause by
// clause: each `contact` clause becomes an entry at the end of `staged`, and
// every clause is dropped at once, so `db` stays empty.  False when the file
// cannot be read (db.LastFileError() and db.LastFileErrno() say why) or holds
// a syntax error (db.ErrorCount(); the error handler was told each error and
// its line); `staged` is then emptied, so none of the book's entries is shown.
bool ReadBookEntries(clausedb::CExprDatabase& db, const std::string& path, StagedEntries& staged);
// The same from clause text in memory (as CExprDatabase::ReadText).
bool ReadBookEntriesFromText(clausedb::CExprDatabase& db, std::string_view text,
                             StagedEntries& staged);

// Streaming open, second half; the view's initial update calls this after
// deleting its rows.  Appends the staged entries exactly as
// LoadEntriesFromClauses appends a database's clauses: redraw off, the row
// count announced, rows appended in order until one is refused, the list's
// sort re-applied, redraw on.  Empties `staged`; returns the rows appended.
int LoadStagedEntries(StagedEntries& staged, IAddressList& list);

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

// Streaming save; the window's document calls this from OnSaveDocument.
// Empties `db`, then builds each row's `contact` clause, writes it and gives
// it back to the store at once, top row first; the file is replaced only
// once complete.  The bytes are those WriteBook writes.  On failure the old
// file stays as it was and db.LastFileError() and db.LastFileErrno() say
// why.  `db` is empty afterwards either way.
bool SaveBook(const IAddressList& list, clausedb::CExprDatabase& db, const std::string& path);

}  // namespace addressbook
