#include "addresslist/case_fold.h"

#include <QChar>
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "fileio/text_encoding.h"

namespace addresslist {

bool IsAscii(std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if ((word & 0x8080808080808080u) != 0) {
            return false;
        }
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            return false;
        }
    }
    return true;
}

void AppendCaseFolded(std::string_view text, std::string& out) {
    // Most texts are ASCII: copied at once, their capitals made small in
    // place.
    if (IsAscii(text)) {
        const std::size_t start = out.size();
        out.append(text);
        std::transform(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
                       out.begin() + static_cast<std::ptrdiff_t>(start), FoldAscii);
        return;
    }
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            out += FoldAscii(static_cast<char>(byte));
            ++i;
            continue;
        }
        char32_t code = 0;
        const std::size_t length = fileio::DecodeUtf8At(text, i, code);
        if (length == 0) {
            out += static_cast<char>(byte);
            ++i;
            continue;
        }
        fileio::AppendUtf8(out, QChar::toCaseFolded(code));
        i += length;
    }
}

}  // namespace addresslist
