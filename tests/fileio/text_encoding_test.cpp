#include "fileio/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace fileio {
namespace {

struct DecodeCase {
    const char* name;
    std::string input;
    std::string expected;
};

// Builds a byte string from a literal that may hold NUL bytes.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

TEST(DecodeToUtf8Test, Table) {
    const DecodeCase cases[] = {
        {"empty", "", ""},
        {"ASCII untouched", "[Preferences]\r\nUseMRU=1\r\n", "[Preferences]\r\nUseMRU=1\r\n"},
        {"valid UTF-8 untouched", "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80",
         "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"UTF-8 mark dropped", "\xEF\xBB\xBFK=\xC3\xA9", "K=\xC3\xA9"},
        {"only a UTF-8 mark", "\xEF\xBB\xBF", ""},
        {"mark then Windows-1252", "\xEF\xBB\xBF\xE9", "\xC3\xA9"},
        {"1252 euro sign", "\x80", "\xE2\x82\xAC"},
        {"1252 quotes and dash", "\x93q\x94\x96", "\xE2\x80\x9Cq\xE2\x80\x9D\xE2\x80\x93"},
        {"1252 undefined byte kept as C1 control", "\x81\x8D\x8F\x90\x9D",
         "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"1252 Latin-1 range", "M\xFCller \xFF", "M\xC3\xBCller \xC3\xBF"},
        {"overlong slash is 1252", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"overlong three-byte is 1252", "\xE0\x80\xAF", "\xC3\xA0\xE2\x82\xAC\xC2\xAF"},
        {"encoded surrogate is 1252", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"beyond U+10FFFF is 1252", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
        {"truncated sequence is 1252", "ab\xC3", "ab\xC3\x83"},
        {"UTF-16 LE", Bytes("\xFF\xFE\x41\0\xE9\0\xAC\x20"), "A\xC3\xA9\xE2\x82\xAC"},
        {"UTF-16 BE", Bytes("\xFE\xFF\0\x41\0\xE9\x20\xAC"), "A\xC3\xA9\xE2\x82\xAC"},
        {"UTF-16 LE surrogate pair", Bytes("\xFF\xFE\x3D\xD8\x00\xDE"), "\xF0\x9F\x98\x80"},
        {"UTF-16 BE surrogate pair", Bytes("\xFE\xFF\xD8\x3D\xDE\x00"), "\xF0\x9F\x98\x80"},
        {"UTF-16 lone high surrogate", Bytes("\xFF\xFE\x3D\xD8\x41\0"), "\xEF\xBF\xBD\x41"},
        {"UTF-16 lone low surrogate", Bytes("\xFF\xFE\x00\xDE\x41\0"), "\xEF\xBF\xBD\x41"},
        {"UTF-16 high surrogate at end", Bytes("\xFF\xFE\x41\0\x3D\xD8"), "A\xEF\xBF\xBD"},
        {"UTF-16 odd last byte dropped", Bytes("\xFF\xFE\x41\0\x42"), "A"},
        {"UTF-16 CR LF kept", Bytes("\xFF\xFE\x61\0\r\0\n\0"), "a\r\n"},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.input;
        DecodeToUtf8(text);
        EXPECT_EQ(text, c.expected);
        EXPECT_TRUE(IsValidUtf8(text));
    }
}

TEST(IsValidUtf8Test, Table) {
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {Bytes("a\0b"), true},
        {"0123456789abcdef0123456789\xC3\xA9", true},  // past the eight-byte fast path
        {"0123456789abcdef0123456789\xC3", false},
        {"\xC2\x80", true},
        {"\xC1\xBF", false},  // overlong two-byte
        {"\xE0\xA0\x80", true},
        {"\xE0\x9F\xBF", false},  // overlong three-byte
        {"\xED\xA0\x80", false},  // surrogate
        {"\xF0\x90\x80\x80", true},
        {"\xF0\x8F\xBF\xBF", false},  // overlong four-byte
        {"\xF4\x8F\xBF\xBF", true},
        {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
        {"\x80", false},
        {"\xE2\x82", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(IsValidUtf8(c.text), c.valid);
    }
}

// ASCII is passed over in words; a character at any place within or after
// them is still found and checked.
TEST(IsValidUtf8Test, CharactersAtEveryPlaceOfALongAsciiRun) {
    for (std::size_t at = 0; at <= 70; ++at) {
        SCOPED_TRACE(at);
        std::string text(70, 'a');
        EXPECT_TRUE(IsValidUtf8(text.insert(at, "\xE2\x82\xAC")));  // the euro sign
        text.erase(at + 2, 1);
        EXPECT_FALSE(IsValidUtf8(text));  // cut short, an 'a' after it
        text.insert(at + 2, "\xAC\xAC");
        EXPECT_FALSE(IsValidUtf8(text));  // a continuation byte of its own
    }
}

}  // namespace
}  // namespace fileio
