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
// and again after it.  ReadBook then LoadEntries open a book, SaveBook saves
// one.  Each clause is converted as soon as it is complete and then given
// back to the store, and saving writes each entry's clause straight from its
// texts, so the database never holds more than one clause and a book of any
// size costs little more memory than its entries.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
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
// The clause that links a book to a server address book and holds the state
// of its last sync (sync/book_link.h reads and writes its arguments):
//     carddav('Url' = "https://...", 'User' = "...", 'SyncToken' = "...", ...).
// A book keeps its first one across open and save, written before the
// contacts; a reader that knows only `contact` skips it.  Clauses of any
// other functor are still dropped.
inline constexpr std::string_view kLinkFunctor = "carddav";

// The 32 attribute names in field order, for adding and reading attributes
// of many clauses quickly (one object for the program: use it from one
// thread only).
const clausedb::CAttributeNames& FieldAttributes();

// Adds the 32 attributes of `entry` to `clause`, in field order, empty texts
// included, and then the entry's extra data (extra_data.h).
void FillClauseFromEntry(clausedb::CExprTerm clause, const CAddressEntry& entry);

// Writes the `contact` clause of `entry` to `sink`: byte for byte the
// clause FillClauseFromEntry builds, without building it.  Only the extra
// data is built, in `store` (the sink's database's Store()).
void WriteEntryClause(clausedb::CClauseSink& sink, clausedb::CExprStore& store,
                      const CAddressEntry& entry);

// The text of each field's attribute in `clause`, exactly as
// GetAttributeText(attribute name) would give it: the first pair with the
// name counts; a missing pair or a value that is neither a word nor a string
// gives the empty text.  One walk over the clause instead of 32.  The views
// point into the database's store.
void GetFieldTexts(clausedb::CExprTerm clause, std::array<std::string_view, kFieldCount>& texts);

// A new entry holding the fields of `clause` (see GetFieldTexts) and, as its
// extra data, every other argument of the clause.
std::unique_ptr<CAddressEntry> EntryFromClause(clausedb::CExprTerm clause);
// The arguments of a `carddav` clause after its functor: the book's link.
CExtraData LinkFromClause(clausedb::CExprTerm clause);

// Entries read from a book or a delimited text file, waiting to be appended
// to the address list.
struct StagedEntries {
    std::vector<std::unique_ptr<CAddressEntry>> entries;
    // The row count announced to the list before the bulk append: the number
    // of clauses read (or lines imported).
    int announcedRows = 0;
    // The arguments of the book's `carddav` clause, when it has one.
    std::optional<CExtraData> link;

    void Clear() {
        entries.clear();
        announcedRows = 0;
        link.reset();
    }
};

// Opening, first half; the window's document calls this from
// OnOpenDocument.  Empties `db` and reads the book at `path` clause by
// clause: each `contact` clause becomes an entry at the end of `staged`, and
// every clause is dropped at once, so `db` stays empty.  False when the file
// cannot be read (db.LastFileError() and db.LastFileErrno() say why) or holds
// a syntax error (db.ErrorCount(); each error with its line is added to
// `errors` when given); `staged` is then emptied, so none of the book's
// entries is shown.
bool ReadBook(clausedb::CExprDatabase& db, const std::string& path, StagedEntries& staged,
              clausedb::ParseErrors* errors = nullptr);
// The same from clause text in memory (as CExprDatabase::ReadText).
bool ReadBookText(clausedb::CExprDatabase& db, std::string_view text, StagedEntries& staged,
                  clausedb::ParseErrors* errors = nullptr);

// Opening, second half; the view's initial update calls this after deleting
// its rows.  Redraw off, the row count announced, the staged entries
// appended in order until the list refuses one, the list's sort re-applied,
// redraw on.  Empties `staged`; returns the rows appended.
int LoadEntries(StagedEntries& staged, IAddressList& list);

// Saving; the window's document calls this from OnSaveDocument.  Empties
// `db`, then writes each row's `contact` clause (WriteEntryClause), top row
// first; the file is replaced only once complete.  With `link`, a `carddav`
// clause of those arguments comes first.  On failure the old file stays as
// it was and db.LastFileError() and db.LastFileErrno() say why.  `db` is
// empty afterwards either way.
bool SaveBook(const IAddressList& list, clausedb::CExprDatabase& db, const std::string& path,
              const CExtraData* link = nullptr);

// Gives the field texts of the next entry, or false when there are no more.
using EntryTextSource = std::function<bool(std::array<std::string_view, kFieldCount>& texts)>;
// SaveBook, then after the list's rows a `contact` clause of each entry that
// `more` gives.  With `keep` (see CExprDatabase::WriteRecords), asked once
// the last entry is written: false leaves the old file as it was.
bool SaveBook(const IAddressList& list, clausedb::CExprDatabase& db, const std::string& path,
              const CExtraData* link, const EntryTextSource& more,
              const std::function<bool()>& keep);

}  // namespace addressbook
