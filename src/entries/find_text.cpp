#include "entries/find_text.h"

#include "addresslist/case_fold.h"
#include "addresslist/field_scan.h"
#include "fileio/text_encoding.h"

namespace entries {

using addresslist::AppendCaseFolded;
using addresslist::FoldAscii;
using fileio::IsAscii;

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// True when `text` (ASCII) with its capitals made small holds `needle`
// (folded): what folding the whole text and searching it would say, with no
// copy.  An ASCII text has no partial characters to avoid.
bool ContainsFoldedAscii(std::string_view text, std::string_view needle) {
    if (needle.size() > text.size()) {
        return false;
    }
    const std::size_t last = text.size() - needle.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (FoldAscii(text[at]) != needle[0]) {
            continue;
        }
        std::size_t i = 1;
        while (i < needle.size() && FoldAscii(text[at + i]) == needle[i]) {
            ++i;
        }
        if (i == needle.size()) {
            return true;
        }
    }
    return false;
}

}  // namespace

CTextMatcher::CTextMatcher(std::string_view needle, bool matchCase) : m_bMatchCase(matchCase) {
    if (matchCase) {
        m_strNeedle = needle;
    } else {
        AppendCaseFolded(needle, m_strNeedle);
    }
    m_bNeedleAscii = IsAscii(m_strNeedle);
}

bool CTextMatcher::Matches(std::string_view text) {
    if (m_strNeedle.empty() || text.size() < (m_bMatchCase ? m_strNeedle.size() : 1)) {
        return false;
    }
    std::string_view haystack = text;
    if (!m_bMatchCase) {
        // Most texts are ASCII, where folding only makes capitals small; a
        // folded needle with other bytes never occurs in them.
        if (IsAscii(text)) {
            return m_bNeedleAscii && ContainsFoldedAscii(text, m_strNeedle);
        }
        m_strBuffer.clear();
        AppendCaseFolded(text, m_strBuffer);
        haystack = m_strBuffer;
    }
    const std::size_t length = m_strNeedle.size();
    for (std::size_t at = haystack.find(m_strNeedle); at != std::string_view::npos;
         at = haystack.find(m_strNeedle, at + 1)) {
        const bool startsOnBoundary = !IsContinuation(static_cast<unsigned char>(haystack[at]));
        const bool endsOnBoundary =
            at + length == haystack.size() ||
            !IsContinuation(static_cast<unsigned char>(haystack[at + length]));
        if (startsOnBoundary && endsOnBoundary) {
            return true;
        }
    }
    return false;
}

int FindRow(const addressbook::IAddressList& list, const FindRequest& request, int startRow) {
    if (request.text.empty() || request.field < 0 || request.field >= addressbook::kFieldCount) {
        return -1;
    }
    CTextMatcher matcher(request.text, request.matchCase);
    for (addresslist::FieldScan scan(list, request.field, startRow < 0 ? 0 : startRow,
                                     request.direction == 1 ? 1 : -1);
         !scan.AtEnd(); scan.Next()) {
        if (matcher.Matches(scan.Text())) {
            return scan.Row();
        }
    }
    return -1;
}

}  // namespace entries
