// Saving a book file under another name without holding its entries: the
// contacts are read on the calling thread while a second thread writes
// their clauses, so that reading and writing share the machine's cores.
#pragma once

#include <string>

#include "addressbook/book_reader.h"
#include "clausedb/expr_database.h"
#include "clausedb/parse_errors.h"

namespace addressbook {

// Writes to `out` what ReadBook of the plain UTF-8 book `in` followed by
// SaveBook of its entries and link writes, byte for byte.  kRead: `saved`
// tells whether `out` was replaced; when not, writeDb.LastFileError() says
// why.  kRefused: as ReadBook's false (readDb and `errors` say why).
// kNotPlain: ReadBook and SaveBook must do the work, because the file is not
// a plain UTF-8 book, cannot be opened, holds a contact with extra data, or
// has its first `carddav` clause after a contact.  `out` is left untouched,
// with no file beside it, unless the result is kRead with `saved`.
BookRead CopyPlainBook(clausedb::CExprDatabase& readDb, clausedb::CExprDatabase& writeDb,
                       const std::string& in, const std::string& out, clausedb::ParseErrors* errors,
                       bool& saved);

}  // namespace addressbook
