// Cutting a clause file into parts that can be read at the same time.
//
// A part starts at the beginning of a line that follows a line ending in
// ").", where the writer ends every clause.  A string or a comment may hold
// those bytes too, so a cut may fall inside one; the part before such a cut
// then ends inside the string or comment, which is a syntax error.  Whoever
// reads the parts must therefore trust only parts read without any error and
// read the file again in one piece from the first part with an error (see
// addressbook/book_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "clausedb/expr_database.h"

namespace clausedb {

// The offset in `bytes` just after the first line feed that ends a line
// ending in ")." (a carriage return may stand before the line feed); npos
// when there is none.
std::size_t FindPartStart(std::string_view bytes);

// Cuts the bytes [begin, end) of the open file `fd` into at most `count`
// parts of about equal size: the part that would start at each even share
// of the bytes starts instead where FindPartStart finds a start in the bytes
// that follow that point (within 64 KB; no cut there otherwise).  The parts
// cover [begin, end) in order without gaps, none of them empty; their first
// lines are left at 1, since they are known only once the parts before them
// have been read.  Always at least one part.
std::vector<FilePart> SplitClauseFile(int fd, std::uint64_t begin, std::uint64_t end,
                                      std::size_t count);

}  // namespace clausedb
