#include "addresslist/entries/find_text.h"

#include <QChar>

namespace entries {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one well-formed UTF-8 character at `i`; its length, or 0 when the
// bytes there are not one.
int DecodeUtf8(std::string_view text, std::size_t i, char32_t& code) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    int length;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        code = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        code = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        code = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + static_cast<std::size_t>(length) > text.size()) {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
        if (!IsContinuation(b)) {
            return 0;
        }
        code = (code << 6) | (b & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

void AppendUtf8(char32_t code, std::string& out) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
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
        const int length = DecodeUtf8(text, i, code);
        if (length == 0) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        AppendUtf8(QChar::toCaseFolded(code), out);
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
