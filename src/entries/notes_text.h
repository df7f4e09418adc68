// Line breaks of the Notes field between the stored text and the editor.
//
// An entry stores its notes on one line, with every line break written as
// "<p>"; the list column and the book file see that form.  The editor's
// multi-line box works with "\n" line breaks, so:
//
//   stored -> box:  "<p>"            -> "\n"
//                   CR LF            -> "\n"   (a real line-break pair, as in
//                                              a hand-edited book, shows as a
//                                              line break)
//                   a lone CR        -> U+240D (visible symbol)
//                   a lone LF        -> U+240A (visible symbol)
//   box -> stored:  "\n" or CR LF    -> "<p>"
//                   U+240D           -> CR
//                   U+240A           -> LF
//
// A box cannot hold a lone CR or LF apart from a line break, so the two
// symbols carry them through an edit unchanged.  Every replacement is
// equivalent to replacing the first occurrence, searching again from the
// start and repeating until none is left: no replacement text can form a new
// occurrence, so one pass from left to right gives the same result.
#pragma once

#include <string>
#include <string_view>

namespace entries {

inline constexpr std::string_view kStoredLineBreak = "<p>";
inline constexpr std::string_view kLoneCrSymbol = "\u240D";
inline constexpr std::string_view kLoneLfSymbol = "\u240A";

// The stored notes (UTF-8) as the editor shows them.
std::string NotesToEditor(std::string_view stored);

// The editor's text (UTF-8, "\n" line breaks) as stored in the entry.
std::string NotesFromEditor(std::string_view edited);

}  // namespace entries
