// Delimited-text import written straight into a book file: the lines are
// split into entries on the calling thread while a second thread writes
// their clauses, so that reading the text and writing the book share the
// machine's cores and the entries are never held in memory all at once.
#pragma once

#include <string>
#include <string_view>

#include "addressbook/address_list.h"
#include "addressbook/delimited_import.h"
#include "addressbook/extra_data.h"
#include "clausedb/expr_database.h"

namespace addressbook {

// Writes to `path` what SaveBook(book, db, path, link) writes, followed by
// the entries that ImportDelimited(file, ...) would stage, byte for byte as
// saving them after loading them would.  Returns the number of entries
// imported, or -1 when reading failed part-way (file.ErrorText() says why).
// `path` is replaced only when that number is above 0 and the whole book was
// written; `saved` tells whether it was.  When it was not for a failed write,
// db.LastFileError() says why.  `db` is empty afterwards; `book` and `db`
// are not to be touched by other threads during the call.
int ImportDelimitedIntoBook(CDelimitedTextFile& file, const ColumnMapping& columns,
                            std::string_view white, std::string_view breaks,
                            const IAddressList& book, const CExtraData* link,
                            clausedb::CExprDatabase& db, const std::string& path, bool& saved);

}  // namespace addressbook
