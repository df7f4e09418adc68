// The search of Find, Find Next and the quick-find box: a text looked for as
// a substring of one field, row by row.
//
// Without match case both texts are compared after Unicode simple case
// folding ("SMITH" finds "smithson", "ÄRGER" finds "ärger").  A hit always
// starts and ends on character boundaries, so a text never matches the
// middle of a multibyte character.  The needle is folded once per search and
// each row's text that is not plain ASCII is folded into one reused buffer,
// so a search over many rows allocates nothing per row.
#pragma once

#include <string>
#include <string_view>

#include "addressbook/address_list.h"

namespace entries {

class CTextMatcher {
public:
    CTextMatcher(std::string_view needle, bool matchCase);

    bool Empty() const { return m_strNeedle.empty(); }
    // True when the needle occurs in `text`.  Not thread-safe: it reuses a
    // buffer.
    bool Matches(std::string_view text);

private:
    std::string m_strNeedle;
    std::string m_strBuffer;
    bool m_bMatchCase;
    bool m_bNeedleAscii = false;
};

struct FindRequest {
    std::string text;   // UTF-8
    int field = 0;      // 0..31
    int direction = 1;  // 1 = down, anything else = up
    bool matchCase = false;
};

// The first row, from `startRow` (negative means 0) towards the end
// (down) or the top (up), whose `field` holds the text; -1 when none does
// or the text is empty.  There is no wrap-around.
int FindRow(const addressbook::IAddressList& list, const FindRequest& request, int startRow);

}  // namespace entries
