// An INI text document that can be read and changed without disturbing what
// it does not change.
//
// Syntax (one construct per line):
//   [Section]        a section line: the name between '[' and the first ']'
//   Key=Value        a key line: the key before the first '=', the value after
//   ; text, # text   comment lines
// Blanks (spaces and tabs) around section names, keys and values are ignored.
// Values are plain text: quotes are part of the value.  Section and key names
// are compared without regard to ASCII case.  When a key occurs more than once
// in a section, the first occurrence counts; a section whose header appears
// more than once is one section, read in file order.  Key lines before the
// first section line and any other lines (a '[' without ']', text without '=')
// belong to no key and are kept as they are.
//
// Changing a value rewrites only the text after the '=' of that one line; all
// other lines, comments, blank lines and the order of lines stay byte for
// byte.  A new key goes to the end of its section, before the blank lines that
// close it; a new section goes to the end of the document.
//
// Parsing accepts LF or CR LF line ends and lines of any length.  A UTF-8
// byte-order mark is dropped and text that is not UTF-8 (Windows-1252,
// UTF-16 with a byte-order mark) is converted, so the document always holds
// UTF-8.  Serialising writes LF line ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// One key line as the reader sees it.  The views point into the document and
// stay valid until it is changed.
struct IniEntry {
    std::string_view section;
    std::string_view key;
    std::string_view value;
};

class IniFile {
public:
    IniFile() = default;

    // Builds a document from the bytes of a file (any encoding listed above).
    static IniFile Parse(std::string text);
    // The document as UTF-8 text with LF line ends.  A document parsed from
    // text whose last line had no line end keeps it that way until a line is
    // added after it.
    std::string Serialize() const;

    // The trimmed value of the first `key` in `section`, or nothing when the
    // section or key is absent.
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    // Gives `key` in `section` the text `value`, adding the key and the
    // section when they are missing.  False, with the document unchanged,
    // when the names or the value cannot be written as one INI line (see the
    // IsValid functions below) or are not valid UTF-8.
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // Every key line inside a section, in file order, duplicates included.
    std::vector<IniEntry> Entries() const;

    std::size_t LineCount() const { return m_lines.size(); }

    // A section name must be non-empty, without blanks at either end, and
    // hold no ']' and no line break.
    static bool IsValidSectionName(std::string_view name);
    // A key must be non-empty, without blanks at either end, hold no '=' and
    // no line break, and not begin with '[', ';' or '#'.
    static bool IsValidKeyName(std::string_view key);
    // A value may be any text without a line break.  Blanks at either end
    // are stored but, like every value, read back trimmed.
    static bool IsValidValue(std::string_view value);

private:
    enum class LineKind { kOther, kBlank, kComment, kSection, kKey };

    struct Line {
        std::string text;
        LineKind kind = LineKind::kOther;
        // kSection: the trimmed name.  kKey: the trimmed key.
        std::size_t nameBegin = 0;
        std::size_t nameEnd = 0;
        // kKey: the text kept when the value is replaced (through '=' and
        // the spaces and tabs after it), and the trimmed value.
        std::size_t keepEnd = 0;
        std::size_t valueBegin = 0;
        std::size_t valueEnd = 0;

        std::string_view Name() const {
            return std::string_view(text).substr(nameBegin, nameEnd - nameBegin);
        }
        std::string_view Value() const {
            return std::string_view(text).substr(valueBegin, valueEnd - valueBegin);
        }
    };

    static Line Classify(std::string text);
    // Index of the first key line for `section`/`key`, or npos.
    std::size_t FindKeyLine(std::string_view section, std::string_view key) const;
    void InsertLine(std::size_t index, std::string text);

    std::vector<Line> m_lines;
    bool m_bLastLineUnterminated = false;
};

// ASCII case-insensitive equality, as used for section and key names.
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);

}  // namespace settings
