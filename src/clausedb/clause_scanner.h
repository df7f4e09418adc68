// The scanner of the clause reader: a stateless function that finds the token
// at a position of the input by longest match.
//
// Between matches of equal length the earlier kind wins, in this order:
// integer, the letter e (TokExp), word, quoted word, string, ( ) , [ ] = .,
// blanks, line feed, comment, any other character.  So "e" alone is TokExp,
// "e5" is a word, "1e5" is the integer 1 followed by the word e5, and "-" not
// followed by a digit is TokOther.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace clausedb {

enum TokenCode : int {
    TokEnd = 0,
    TokInteger = 1,       // optional sign, decimal digits
    TokWord = 2,          // letter or '_' then letters, digits, '_'; or 'quoted'
    TokString = 3,        // "..." with backslash pairs
    TokOpen = 4,          // (
    TokClose = 5,         // )
    TokComma = 6,         // ,
    TokOther = 8,         // any other single character
    TokOpenSquare = 9,    // [
    TokCloseSquare = 10,  // ]
    TokEquals = 11,       // =
    TokPeriod = 13,       // .
    TokExp = 14,          // the letter e on its own
    // Skipped by the reader, never passed to the parser.
    TokBlank = 100,  // a run of blanks and tabs
    TokLineFeed,     // one line feed
    TokComment,      // /* ... */
    TokOpenComment,  // /* with no end: the rest of the input
    TokMore,         // the token may go on past the end: more input is needed
};

struct ScannedToken {
    int code;
    std::size_t length;
    bool quoted;  // TokWord written between single quotes
    bool cook;    // TokString or quoted TokWord whose text needs CookText
    int lines;    // line feeds inside the token
};

// Line ends of the input.  In CrLf mode a carriage return immediately
// followed by a line feed counts as a single line feed everywhere, inside
// strings and quoted words too; any other carriage return stays a character.
enum class InputLineEnd { Lf, CrLf };

// The token starting at `p` (TokEnd with length 0 when p == end).  When
// `more` is set, further input follows `end`; a token that might go on past
// `end` then comes back as TokMore (length 0) instead.
ScannedToken ScanToken(const char* p, const char* end, InputLineEnd ending = InputLineEnd::Lf,
                       bool more = false);

// The first byte at or after `p` that ends the plain part of a string's
// body (a double quote, a backslash, a carriage return or a line feed), or
// `end`.  Eight bytes at a time.
const char* SkipPlainString(const char* p, const char* end);

// The text of a token's body (without its quotes), appended to `out`.  In a
// string (`escapes` set) each backslash followed by a double quote or a
// backslash stands for that character and any other backslash stays, with the
// character after it.  In CrLf mode carriage return plus line feed becomes a
// line feed.
void CookText(std::string_view body, bool escapes, InputLineEnd ending, std::string& out);

}  // namespace clausedb
