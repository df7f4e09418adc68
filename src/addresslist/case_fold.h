// Case-insensitive texts of the list: the sort keys of its columns and the
// texts Find looks through are folded the same way, so "Ärger" sorts beside
// "ärger" and "ÄRGER" finds it.
#pragma once

#include <string>
#include <string_view>

namespace addresslist {

// An ASCII character with a capital made small; folding does nothing else
// to ASCII.
constexpr char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Appends `text` (UTF-8) to `out` with every character case-folded (Unicode
// simple case folding).  Bytes that are not valid UTF-8 are copied unchanged.
void AppendCaseFolded(std::string_view text, std::string& out);

}  // namespace addresslist
