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
#pragma once

#include "addressbook/book_file.h"
#include "clausedb/expr_database.h"

namespace addressbook {

// What a read of a book hands on: every command counts as an announced row,
// and each contact clause or record becomes an entry at the end of
// `staged`; clauses are dropped at once.
clausedb::ReadTargets StagingTargets(StagedEntries& staged, clausedb::ParseErrors* errors);

}  // namespace addressbook
