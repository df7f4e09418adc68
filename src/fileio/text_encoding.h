// Text encodings met in address books and delimited text files.
//
// Everything inside the program is UTF-8.  Files written by older versions
// and by other programs on Windows are often in the Windows-1252 code page;
// spreadsheets also write UTF-16 with a byte-order mark.  DecodeToUtf8 turns
// any of these into UTF-8 so that the readers only ever see UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace fileio {

bool IsValidUtf8(std::string_view bytes);
// True when every byte of `bytes` is below 0x80 (ASCII, and so UTF-8 too).
bool IsAscii(std::string_view bytes);

// Decodes the UTF-8 character at `pos` into `cp` and returns its length in
// bytes, or 0 when the bytes there are not one well-formed character
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::size_t DecodeUtf8At(std::string_view text, std::size_t pos, char32_t& cp);

// Appends the UTF-8 form of code point `cp` (at most U+10FFFF) to `out`.
void AppendUtf8(std::string& out, char32_t cp);

// Maps each byte through the Windows-1252 code page; the five bytes that the
// code page leaves undefined map to the C1 control of the same number.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-16 to UTF-8 in pieces, for files read block by block: a code unit or
// a surrogate pair cut by the end of one piece is completed by the next.
// Unpaired surrogates become U+FFFD.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian) : m_bBigEndian(bigEndian) {}
    // Appends the UTF-8 of the complete characters of `bytes` to `out`.
    void Feed(std::string_view bytes, std::string& out);
    // The end of the input: a dangling high surrogate becomes U+FFFD and an
    // odd last byte is dropped.
    void Finish(std::string& out);

private:
    void Unit(char16_t unit, std::string& out);

    bool m_bBigEndian;
    int m_nOddByte = -1;   // first byte of a unit cut in two, or -1
    char16_t m_nHigh = 0;  // a high surrogate waiting for its pair, or 0
};

// A UTF-8 byte-order mark is dropped; UTF-16 (either byte order) with a
// byte-order mark is converted; other text that is not valid UTF-8 is taken as
// Windows-1252.  Works in place to avoid a second copy of large files.
void DecodeToUtf8(std::string& text);

}  // namespace fileio
