// Reading a book file into staged entries (ReadBook and ReadBookText of
// book_file.h), on several processors when the book is large.
//
// The file is cut into parts at clause ends (clausedb/clause_file_parts.h).
// Each part is read on a thread of its own (parallel_pieces.h) into its own
// clause database and staged entries, and the entries are then appended in
// file order.  That gives exactly what one read of the whole file gives
// whenever every part reads without an error: a part that reads without
// error ends where a command ends, outside any string or comment, so the
// next part starts where a single read waits for a new command.  When a part
// has an error, the parts before it are still exact, and the file is read
// once more in one thread from that part's start to its end, its lines
// numbered on from the line feeds of the parts before it; so the errors,
// their lines and their order are exactly those of a single read.  A file
// that turns out not to be plain UTF-8 is read as before: decoded whole and
// read in one thread.
//
// Commands of the shape of a contact clause are read as records
// (clausedb::RecordConsumer), without building their clauses.
#pragma once

#include <cstddef>

#include "addressbook/book_file.h"
#include "clausedb/attribute_names.h"
#include "clausedb/expr_database.h"

namespace addressbook {

// What a read of a book hands on: every command counts as an announced row,
// and each contact clause or record becomes an entry at the end of
// `staged`; clauses are dropped at once.  `names` must be the 32 attribute
// names in field order, used by this read alone (see MakeFieldAttributes).
clausedb::ReadTargets StagingTargets(StagedEntries& staged, const clausedb::CAttributeNames& names,
                                     clausedb::ParseErrors* errors);

// Test seam: cut books into `parts` parts (0: one per processor), each at
// least `minBytes` long (0: the normal size), so that tests can read small
// books in parts.
void SetBookPartsForTesting(std::size_t parts, std::size_t minBytes);

}  // namespace addressbook
