// The text of vCard content lines (versions 2.1, 3.0 and 4.0):
//
//     [group "."] name *(";" param) ":" value
//
// The reader (vcard_reader.h) unfolds each line and hands it to
// ParseContentLine, then DecodeTransport removes what only served the
// transport, so that every property the rest of the program sees is one
// line in the syntax of version 3.0, in UTF-8:
// - 2.1 parameters without a name ("TEL;HOME;VOICE") become TYPE=HOME,
//   TYPE=VOICE (ENCODING= and VALUE= for the encoding and value words);
// - QUOTED-PRINTABLE values are decoded, their CHARSET applied and their
//   line breaks written as \n; the ENCODING and CHARSET parameters go;
// - BASE64 values of text properties are decoded the same way; binary ones
//   (a photo) stay base64, without white space, marked ENCODING=b (a value
//   that is not base64 at all is kept as written);
// - 8-bit text that is not UTF-8 is read in its CHARSET (Latin-1 or
//   Windows-1252, which is also taken when there is none).
// A value in a character set the program cannot decode, or holding control
// characters (a NUL), is kept as quoted-printable with its CHARSET, so that
// no byte is lost and the line stays plain ASCII; such a property is marked
// `undecoded`.  Control characters in names and parameters become U+FFFD.
//
// Values keep their escapes (\n \, \; \\); UnescapeText and SplitComponents
// read them, EscapeText writes them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace addressbook::vcard {

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

struct Param {
    std::string name;   // as written (never empty after ParseContentLine)
    std::string value;  // as written after "=", quotes and commas included
};

// The values of a parameter: split at commas outside quotes, quotes removed.
std::vector<std::string> ParamValues(std::string_view written);
// The values of a TYPE parameter: split at every comma, since writers of
// 4.0 quote the whole list (TYPE="work,voice"); blanks trimmed.
std::vector<std::string> TypeValues(std::string_view written);

struct Property {
    std::string group;  // "item1" of "item1.TEL", empty when none
    std::string name;   // as written; compare with Is()
    std::vector<Param> params;
    std::string value;  // escaped value text
    int line = 0;       // where the property began in the file
    bool undecoded = false;

    bool Is(std::string_view other) const { return EqualsIgnoreCase(name, other); }
    // The first parameter named `param` (any case), or null.
    const Param* FindParam(std::string_view param) const;
    // Whether a TYPE parameter lists `type` (any case; see TypeValues).
    bool HasType(std::string_view type) const;
};

// Parses one unfolded content line.  False when it has no colon outside
// quoted parameter values, or no name before it.
bool ParseContentLine(std::string_view line, Property& property);

// Whether the property's ENCODING is QUOTED-PRINTABLE.
bool IsQuotedPrintable(const Property& property);

// Removes the transport encoding as described at the top.
void DecodeTransport(Property& property);

// "group.name;param=value;..." without the colon and the value.
std::string FormatHeader(const Property& property);
// The whole content line, unfolded.
std::string FormatContentLine(const Property& property);
// Whether FormatContentLine(property) would give `line` (without making it).
bool IsWrittenAs(const Property& property, std::string_view line);

// Text value escapes: \n and \N give a line feed; \\ \, \; and \: their
// character; any other backslash stays as it is.
std::string UnescapeText(std::string_view raw);
// Escapes \ , ; and line breaks (CR LF, CR and LF each give \n).
std::string EscapeText(std::string_view text);
void AppendEscapedText(std::string& out, std::string_view text);
// The components of a structured value (N, ADR, ORG): split at semicolons
// that are not escaped.  The views point into `raw`.
std::vector<std::string_view> SplitComponents(std::string_view raw);
// Each line break (CR LF, CR or LF) replaced by `with`.
std::string ReplaceLineBreaks(std::string_view text, std::string_view with);
// Line breaks as "\n".
std::string EscapeLineBreaks(std::string_view text);

// Appends `line` folded at 75 octets (never inside a UTF-8 character, nor
// right after "="), each physical line ended by CR LF and every
// continuation led by one space.
void AppendFolded(std::string& out, std::string_view line);

// Quoted-printable to bytes: =XX gives the byte, "=" at a line end joins the
// lines and one at the very end is dropped; another "=" is kept as it is.
std::string DecodeQuotedPrintable(std::string_view in);
// Bytes to quoted-printable (every byte outside printable ASCII, "=" and
// trailing blanks as =XX; no line breaks).
std::string EncodeQuotedPrintable(std::string_view bytes);
// Base64 to bytes, white space ignored; false for anything else or a bad end.
bool DecodeBase64(std::string_view in, std::string& out);

}  // namespace addressbook::vcard
