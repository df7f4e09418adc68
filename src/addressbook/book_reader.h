// Reading a book file into staged entries (ReadBook and ReadBookText of
// book_file.h) in one pass over its bytes.
//
// Plain UTF-8 (the usual case) is parsed straight from the file, each block
// checked to be UTF-8 as it is read, so the check costs no pass of its own.
// A file that turns out not to be plain UTF-8 is read as before: decoded
// whole and then parsed; what the first read found is dropped, so the
// result, the errors and their lines are those of that read alone.
//
// Commands of the shape of a contact clause are read as records
// (clausedb::RecordConsumer), without building their clauses.
//
// ReadBookFields is the same pass without entries, for a caller that only
// passes each contact's texts on (the tool's export).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "addressbook/book_file.h"
#include "clausedb/expr_database.h"

namespace addressbook {

// What a read of a book hands on: every command counts as an announced row,
// and each contact clause or record becomes an entry at the end of
// `staged`; clauses are dropped at once.
clausedb::ReadTargets StagingTargets(StagedEntries& staged, clausedb::ParseErrors* errors);

// Receives the 32 field texts of one contact; the views are valid only
// during the call.
using ContactFields = std::function<void(const std::array<std::string_view, kFieldCount>& texts)>;

enum class BookRead {
    kRead,      // read without error
    kRefused,   // a syntax error or a read error, as ReadBook's false
    kNotPlain,  // not a plain UTF-8 book file: only ReadBook reads it
};

// The one pass over a plain UTF-8 book file (a byte-order mark allowed),
// handing what it reads to `targets`; kNotPlain, at once or part-way, when
// the file needs ReadBook's other way of reading (what was handed on then
// counts for nothing), and also when the file cannot be opened (ReadBook
// then reports why).  The store is left for the caller to clear.
BookRead ReadPlainBook(clausedb::CExprDatabase& db, const std::string& path,
                       const clausedb::ReadTargets& targets);

// Reads the book at `path` as ReadBook reads a plain UTF-8 file, handing
// the texts of each contact to `take` as soon as it is read, in the order of
// the entries ReadBook would stage; no entry is made.  Errors go to `errors`
// as ReadBook gives them.  On kNotPlain, which may come after some contacts
// were handed on, those contacts count for nothing: ReadBook must read the
// file.
BookRead ReadBookFields(clausedb::CExprDatabase& db, const std::string& path,
                        const ContactFields& take, clausedb::ParseErrors* errors = nullptr);

}  // namespace addressbook
