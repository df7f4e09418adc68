// Splitting one line of delimited text into fields.
//
// A small state machine (Start, InToken, InQuote, AfterToken) over the bytes
// of the line.  Characters of the white-space set around a field are dropped
// and end an unquoted field; a character of the break set ends the field and
// is consumed; a quote character opens a quoted field that keeps breaks and
// white space and ends at the same quote; the escape character makes the
// next byte literal, inside and outside quotes.  A quote or an ordinary
// character right after a finished field opens the next field.
//
// All set characters are ASCII, so multibyte UTF-8 sequences are never split.
// Fields of any length are kept whole.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace addressbook {

// The character sets of the two import commands.
inline constexpr std::string_view kCommaWhite = "\t";
inline constexpr std::string_view kCommaBreaks = ",";
inline constexpr std::string_view kTabWhite = " ";
inline constexpr std::string_view kTabBreaks = "\t";
inline constexpr std::string_view kImportQuotes = "\"";
inline constexpr char kImportEscape = '\\';

// The same splitter with its character classes prepared once, for loops over
// many lines.
class CDelimitedSplitter {
public:
    CDelimitedSplitter(std::string_view white, std::string_view breaks, std::string_view quotes,
                       char escape);

    // Reads the field that starts at `position` into `token` and moves
    // `position` past what was consumed.  False (token cleared) when
    // `position` is at or beyond the end of `line`.
    bool Next(std::string_view line, std::size_t& position, std::string& token) const;
    // The same field as Next(), as a view: into `line` when the field's text
    // is a run of its bytes (unquoted, or quoted without an escape: most
    // fields), into `scratch` otherwise.  Valid while both are unchanged.
    bool NextView(std::string_view line, std::size_t& position, std::string_view& field,
                  std::string& scratch) const;
    // NextView() from `position` again and again, filling `fields` in order
    // (field i with scratch[i], which is at least as long) until they are
    // full or the line ends.  Returns how many it filled.  One call per line
    // saves a call per field on the import's hot path.
    std::size_t NextViews(std::string_view line, std::size_t& position,
                          std::span<std::string_view> fields, std::span<std::string> scratch) const;

private:
    enum CharClass : unsigned char { Other, Break, Quote, White, Escape };
    // For each byte value, whether a scan stops there.
    using StopTable = std::array<bool, 256>;
    CharClass ClassOf(char ch) const { return m_classes[static_cast<unsigned char>(ch)]; }
    // NextView() from `at`, before the end of `line`, for both entry
    // points; `at` moves past what was consumed.
    void ViewAt(std::string_view line, const char*& at, std::string_view& field,
                std::string& scratch) const;
    // The first byte from `at` that is not white space (`end` when none).
    const char* SkipWhite(const char* at, const char* end) const;
    // Where the next field starts after a field whose text ended right
    // before `at`, as Next() goes on after a field: past white space, then a
    // break is consumed and a quote or another character starts the next
    // field.  False at an escape, which only Next() handles.
    bool EndAfterText(const char* at, const char* end, const char*& next) const;
    std::array<CharClass, 256> m_classes{};
    StopTable m_runStops{};  // what ends a run of ordinary characters
    char m_escape;
};

// The quote character still open at the end of `line` ('\0' for none),
// given the one open at its start (`open`, '\0' for none).  Outside a quote the escape
// character takes the next character with it and a quote character always
// opens a quote (right after a field it ends that field first); inside, the
// escape takes the next character and the same quote closes.  So a record
// whose quoted value holds line breaks goes on while a quote is open, and
// splitting the joined lines gives the value with its line breaks.
char OpenQuoteAtEnd(std::string_view line, char open, std::string_view quotes, char escape);

// One field of `line` from `position`, or nullopt at the end of the line.
// The caller starts each line at position 0 and calls until nullopt.
std::optional<std::string> NextDelimitedToken(std::string_view line, std::size_t& position,
                                              std::string_view white, std::string_view breaks,
                                              std::string_view quotes, char escape);

}  // namespace addressbook
