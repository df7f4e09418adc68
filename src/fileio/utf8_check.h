// Checking that text read in pieces is UTF-8, without holding all of it.
#pragma once

#include <cstddef>
#include <string_view>

namespace fileio {

// Gives the same answer as IsValidUtf8 of all the bytes fed, in order: a
// character cut by the end of one piece is completed by the next.  Readers
// that parse a file block by block check each block as it arrives, so the
// check costs no pass of its own over the file.
class Utf8StreamCheck {
public:
    // Checks the next bytes.  False once anything fed so far is not UTF-8.
    bool Feed(std::string_view bytes);
    // True when everything fed was UTF-8 and no character was left
    // incomplete at the end.
    bool Finish() const { return m_bValid && m_nPending == 0; }
    // False once anything fed so far is not UTF-8.
    bool Valid() const { return m_bValid; }

private:
    bool m_bValid = true;
    char m_pending[4] = {};  // the start of a character cut by a piece's end
    std::size_t m_nPending = 0;
};

}  // namespace fileio
