#include "entries/find_text.h"

#include <QChar>

#include "fileio/text_encoding.h"

namespace entries {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

void AppendCaseFolded(std::string_view text, std::string& out) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + ('a' - 'A'))
                                                : static_cast<char>(byte);
            ++i;
            continue;
        }
        char32_t code = 0;
        const auto length = static_cast<int>(fileio::DecodeUtf8At(text, i, code));
        if (length == 0) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        fileio::AppendUtf8(out, QChar::toCaseFolded(code));
        i += static_cast<std::size_t>(length);
    }
}

CTextMatcher::CTextMatcher(std::string_view needle, bool matchCase) : m_bMatchCase(matchCase) {
    if (matchCase) {
        m_strNeedle = needle;
    } else {
        AppendCaseFolded(needle, m_strNeedle);
    }
}

bool CTextMatcher::Matches(std::string_view text) {
    if (m_strNeedle.empty() || text.size() < (m_bMatchCase ? m_strNeedle.size() : 1)) {
        return false;
    }
    std::string_view haystack = text;
    if (!m_bMatchCase) {
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
    const int count = list.RowCount();
    const int step = request.direction == 1 ? 1 : -1;
    CTextMatcher matcher(request.text, request.matchCase);
    for (int row = startRow < 0 ? 0 : startRow; row >= 0 && row < count; row += step) {
        if (matcher.Matches(list.EntryAt(row).GetField(request.field))) {
            return row;
        }
    }
    return -1;
}

}  // namespace entries
