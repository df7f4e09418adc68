#include "addresslist/case_fold.h"

#include <QChar>
#include <algorithm>

#include "fileio/text_encoding.h"

namespace addresslist {

void AppendCaseFolded(std::string_view text, std::string& out) {
    // Most texts are ASCII: copied at once, their capitals made small in
    // place.
    if (fileio::IsAscii(text)) {
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
