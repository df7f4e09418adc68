#include "addressbook/vcard_syntax.h"

#include <algorithm>
#include <array>

#include "fileio/text_encoding.h"

namespace addressbook::vcard {

namespace {

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Where a 2.1 parameter without a name belongs.
std::string_view NameOfBareParam(std::string_view word) {
    static constexpr std::string_view kEncodings[] = {"QUOTED-PRINTABLE", "BASE64", "8BIT", "7BIT"};
    static constexpr std::string_view kValues[] = {"INLINE", "URL", "URI", "CONTENT-ID", "CID"};
    for (std::string_view e : kEncodings) {
        if (EqualsIgnoreCase(word, e)) {
            return "ENCODING";
        }
    }
    for (std::string_view v : kValues) {
        if (EqualsIgnoreCase(word, v)) {
            return "VALUE";
        }
    }
    return "TYPE";
}

void AddParam(Property& property, std::string_view text) {
    text = Trim(text);
    if (text.empty()) {
        return;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        property.params.push_back({std::string(NameOfBareParam(text)), std::string(text)});
        return;
    }
    const std::string_view name = Trim(text.substr(0, equals));
    const std::string_view value = Trim(text.substr(equals + 1));
    property.params.push_back(
        {name.empty() ? std::string(NameOfBareParam(value)) : std::string(name),
         std::string(value)});
}

void RemoveParams(Property& property, std::string_view name) {
    std::erase_if(property.params,
                  [name](const Param& param) { return EqualsIgnoreCase(param.name, name); });
}

bool IsUtf8Label(std::string_view charset) {
    return charset.empty() || EqualsIgnoreCase(charset, "UTF-8") ||
           EqualsIgnoreCase(charset, "UTF8");
}

// The 8-bit character sets read as Windows-1252 (of which Latin-1 is a
// part; Latin-9 differs in eight rare letters).
bool IsWesternLabel(std::string_view charset) {
    static constexpr std::string_view kLabels[] = {
        "ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "ISO-8859-15",   "WINDOWS-1252",
        "CP1252",     "X-CP1252",  "US-ASCII",   "ASCII",  "ANSI_X3.4-1968"};
    return std::any_of(std::begin(kLabels), std::end(kLabels), [charset](std::string_view label) {
        return EqualsIgnoreCase(charset, label);
    });
}

// Decodes `bytes` written in `charset` to UTF-8; false when the character
// set is one the program cannot read.
bool ToUtf8(std::string_view bytes, std::string_view charset, std::string& out) {
    if (fileio::IsAscii(bytes)) {
        out.assign(bytes);
        return true;
    }
    if (IsUtf8Label(charset)) {
        out = fileio::IsValidUtf8(bytes) ? std::string(bytes) : fileio::Windows1252ToUtf8(bytes);
        return true;
    }
    if (IsWesternLabel(charset)) {
        out = fileio::Windows1252ToUtf8(bytes);
        return true;
    }
    return false;
}

bool LooksLikeText(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\n' && b != '\r';
    });
}

bool IsBinaryProperty(const Property& property) {
    return property.Is("PHOTO") || property.Is("LOGO") || property.Is("SOUND") ||
           property.Is("KEY");
}

std::string WithoutBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!IsBlank(c) && c != '\r' && c != '\n') {
            out += c;
        }
    }
    return out;
}

std::string FirstParamValue(const Property& property, std::string_view name) {
    const Param* param = property.FindParam(name);
    if (param == nullptr) {
        return {};
    }
    // Most values are a single word: no list to make.
    if (param->value.find_first_of("\",") == std::string::npos) {
        return param->value;
    }
    return ParamValues(param->value).front();
}

// Calls `fn` with each value of a TYPE parameter as TypeValues gives them,
// until it returns true; whether one did.
template <typename Fn>
bool AnyTypeValue(std::string_view written, Fn&& fn) {
    for (;;) {
        const std::size_t comma = written.find(',');
        std::string_view value = written.substr(0, comma);
        // Quotes are dropped wherever they stand.
        while (!value.empty() && value.front() == '"') {
            value.remove_prefix(1);
        }
        while (!value.empty() && value.back() == '"') {
            value.remove_suffix(1);
        }
        if (value.find('"') != std::string_view::npos) {
            std::string unquoted(value);
            std::erase(unquoted, '"');
            if (fn(Trim(unquoted))) {
                return true;
            }
        } else if (fn(Trim(value))) {
            return true;
        }
        if (comma == std::string_view::npos) {
            return false;
        }
        written.remove_prefix(comma + 1);
    }
}

// Names and parameters: UTF-8 (else read as Windows-1252), control
// characters replaced.
void CleanText(std::string& text) {
    const bool ascii = std::none_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b >= 0x7F;
    });
    if (ascii) {
        return;  // plain printable ASCII
    }
    if (!fileio::IsValidUtf8(text)) {
        text = fileio::Windows1252ToUtf8(text);
    }
    std::string clean;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            clean += "\xEF\xBF\xBD";  // U+FFFD
        } else {
            clean += c;
        }
    }
    text = std::move(clean);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAscii(x) == UpperAscii(y);
           });
}

std::string ToUpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = UpperAscii(c);
    }
    return out;
}

std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::vector<std::string> ParamValues(std::string_view written) {
    std::vector<std::string> values(1);
    bool quoted = false;
    for (char c : written) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            values.emplace_back();
        } else {
            values.back() += c;
        }
    }
    return values;
}

std::vector<std::string> TypeValues(std::string_view written) {
    std::vector<std::string> values;
    AnyTypeValue(written, [&values](std::string_view value) {
        values.emplace_back(value);
        return false;
    });
    return values;
}

const Param* Property::FindParam(std::string_view param) const {
    for (const Param& p : params) {
        if (EqualsIgnoreCase(p.name, param)) {
            return &p;
        }
    }
    return nullptr;
}

bool Property::HasType(std::string_view type) const {
    for (const Param& p : params) {
        if (EqualsIgnoreCase(p.name, "TYPE") &&
            AnyTypeValue(p.value, [type](std::string_view value) {
                return EqualsIgnoreCase(value, type);
            })) {
            return true;
        }
    }
    return false;
}

bool ParseContentLine(std::string_view line, Property& property) {
    property = Property{};
    std::size_t i = 0;
    while (i < line.size() && line[i] != ';' && line[i] != ':') {
        ++i;
    }
    if (i == line.size()) {
        return false;
    }
    std::string_view name = Trim(line.substr(0, i));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        property.group.assign(Trim(name.substr(0, dot)));
        name = Trim(name.substr(dot + 1));
    }
    if (name.empty()) {
        return false;
    }
    property.name.assign(name);
    while (line[i] == ';') {
        const std::size_t start = ++i;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ';' && line[i] != ':'))) {
            if (line[i] == '"') {
                quoted = !quoted;
            }
            ++i;
        }
        if (i == line.size()) {
            return false;
        }
        AddParam(property, line.substr(start, i - start));
    }
    property.value.assign(line.substr(i + 1));
    return true;
}

bool IsQuotedPrintable(const Property& property) {
    const std::string encoding = FirstParamValue(property, "ENCODING");
    return EqualsIgnoreCase(encoding, "QUOTED-PRINTABLE") || EqualsIgnoreCase(encoding, "QP");
}

void DecodeTransport(Property& property) {
    CleanText(property.group);
    CleanText(property.name);

    for (Param& param : property.params) {
        CleanText(param.name);
        CleanText(param.value);
        if (EqualsIgnoreCase(param.name, "TYPE") || EqualsIgnoreCase(param.name, "ENCODING") ||
            EqualsIgnoreCase(param.name, "VALUE")) {
            param.value = std::string(Trim(param.value));
        }
    }
    const std::string encoding = ToUpperAscii(FirstParamValue(property, "ENCODING"));
    const std::string charset = FirstParamValue(property, "CHARSET");
    // Bytes that are no text the program can read are kept byte for byte,
    // in a form that stays plain ASCII.
    auto keepEncoded = [&property](std::string_view bytes) {
        property.value = EncodeQuotedPrintable(bytes);
        RemoveParams(property, "ENCODING");
        property.params.push_back({"ENCODING", "QUOTED-PRINTABLE"});
        property.undecoded = true;
    };
    auto decoded = [&property](const std::string& text) {
        property.value = EscapeLineBreaks(text);
        RemoveParams(property, "ENCODING");
        RemoveParams(property, "CHARSET");
    };
    std::string text;
    if (encoding == "QUOTED-PRINTABLE" || encoding == "QP") {
        const std::string bytes = DecodeQuotedPrintable(property.value);
        if (LooksLikeText(bytes) && ToUtf8(bytes, charset, text)) {
            decoded(text);
        } else {
            keepEncoded(bytes);
        }
        return;
    }
    if (encoding == "BASE64" || encoding == "B") {
        std::string bytes;
        const std::string compact = WithoutBlanks(property.value);
        const bool valid = DecodeBase64(compact, bytes);
        if (valid && !IsBinaryProperty(property) && LooksLikeText(bytes) &&
            ToUtf8(bytes, charset, text)) {
            decoded(text);
            return;
        }
        if (!valid && !LooksLikeText(property.value)) {
            keepEncoded(property.value);
            return;
        }
        if (valid) {
            property.value = compact;
        } else {
            CleanText(property.value);  // kept as written, as text
        }
        for (Param& param : property.params) {
            if (EqualsIgnoreCase(param.name, "ENCODING")) {
                param = Param{"ENCODING", "b"};
            }
        }
        return;
    }
    if (encoding == "8BIT" || encoding == "7BIT") {
        RemoveParams(property, "ENCODING");
    }
    if (!LooksLikeText(property.value)) {
        keepEncoded(property.value);
        return;
    }
    if (!fileio::IsValidUtf8(property.value)) {
        if (!ToUtf8(property.value, charset, text)) {
            keepEncoded(property.value);
            return;
        }
        property.value = std::move(text);
    }
    RemoveParams(property, "CHARSET");
}

std::string FormatHeader(const Property& property) {
    std::string out;
    if (!property.group.empty()) {
        out += property.group;
        out += '.';
    }
    out += property.name;
    for (const Param& param : property.params) {
        out += ';';
        out += param.name;
        out += '=';
        out += param.value;
    }
    return out;
}

bool IsWrittenAs(const Property& property, std::string_view line) {
    auto take = [&line](std::string_view part) {
        if (line.substr(0, part.size()) != part) {
            return false;
        }
        line.remove_prefix(part.size());
        return true;
    };
    if (!property.group.empty() && !(take(property.group) && take("."))) {
        return false;
    }
    if (!take(property.name)) {
        return false;
    }
    for (const Param& param : property.params) {
        if (!(take(";") && take(param.name) && take("=") && take(param.value))) {
            return false;
        }
    }
    return take(":") && line == property.value;
}

std::string FormatContentLine(const Property& property) {
    std::string out = FormatHeader(property);
    out += ':';
    out += property.value;
    return out;
}

std::string UnescapeText(std::string_view raw) {
    std::size_t i = raw.find('\\');
    if (i == std::string_view::npos) {
        return std::string(raw);  // most values
    }
    std::string out;
    out.reserve(raw.size());
    out.append(raw.substr(0, i));
    for (; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c != '\\' || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const char next = raw[i + 1];
        if (next == 'n' || next == 'N') {
            out += '\n';
            ++i;
        } else if (next == '\\' || next == ',' || next == ';' || next == ':') {
            out += next;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void AppendEscapedText(std::string& out, std::string_view text) {
    static constexpr auto kEscaped = [] {
        std::array<bool, 256> escaped{};
        for (unsigned char c : {'\\', ',', ';', '\r', '\n'}) {
            escaped[c] = true;
        }
        return escaped;
    }();
    std::size_t start = 0;  // of the run of plain characters not yet copied
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!kEscaped[static_cast<unsigned char>(c)]) {
            continue;
        }
        out.append(text.substr(start, i - start));
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += "\\n";
        } else {
            out += '\\';
            out += c;
        }
        start = i + 1;
    }
    out.append(text.substr(start));
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    AppendEscapedText(out, text);
    return out;
}

std::string ReplaceLineBreaks(std::string_view text, std::string_view with) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;  // of the text not yet copied
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            continue;
        }
        out.append(text.substr(start, i - start));
        out.append(with);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    out.append(text.substr(start));
    return out;
}

std::string EscapeLineBreaks(std::string_view text) {
    return ReplaceLineBreaks(text, "\\n");
}

std::vector<std::string_view> SplitComponents(std::string_view raw) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\') {
            ++i;
        } else if (raw[i] == ';') {
            parts.push_back(raw.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(raw.substr(start));
    return parts;
}

void AppendFolded(std::string& out, std::string_view line) {
    constexpr std::size_t kOctets = 75;
    std::size_t room = kOctets;
    while (line.size() > room) {
        std::size_t cut = room;
        // Back to the start of a UTF-8 character, and not right after "=",
        // which a reader of quoted-printable takes for a soft line break.
        while (cut > 1 &&
               ((static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80 || line[cut - 1] == '=')) {
            --cut;
        }
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        room = kOctets - 1;
    }
    out.append(line);
    out += "\r\n";
}

std::string DecodeQuotedPrintable(std::string_view in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '=') {
            out += in[i];
            continue;
        }
        if (i + 1 == in.size()) {
            break;  // a soft line break with nothing after it
        }
        if (i + 1 < in.size() && (in[i + 1] == '\n' || in[i + 1] == '\r')) {
            i += (in[i + 1] == '\r' && i + 2 < in.size() && in[i + 2] == '\n') ? 2 : 1;
            continue;
        }
        const int high = i + 1 < in.size() ? HexValue(in[i + 1]) : -1;
        const int low = i + 2 < in.size() ? HexValue(in[i + 2]) : -1;
        if (high < 0 || low < 0) {
            out += '=';
            continue;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::string EncodeQuotedPrintable(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool trailingBlank = (b == ' ' || b == '\t') && i + 1 == bytes.size();
        if (b < 0x20 || b >= 0x7F || b == '=' || trailingBlank) {
            out += '=';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        } else {
            out += static_cast<char>(b);
        }
    }
    return out;
}

bool DecodeBase64(std::string_view in, std::string& out) {
    static const std::array<signed char, 256> kValues = [] {
        std::array<signed char, 256> values{};
        values.fill(-1);
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i) {
            values[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
        }
        return values;
    }();
    out.clear();
    out.reserve(in.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    int padding = 0;
    for (char c : in) {
        if (IsBlank(c) || c == '\r' || c == '\n') {
            continue;
        }
        if (c == '=') {
            ++padding;
            continue;
        }
        const int value = kValues[static_cast<unsigned char>(c)];
        if (value < 0 || padding > 0) {
            return false;
        }
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            out += static_cast<char>(bits >> 16);
            out += static_cast<char>(bits >> 8);
            out += static_cast<char>(bits);
            bits = 0;
            count = 0;
        }
    }
    if (count == 1 || padding > 2) {
        return false;
    }
    if (count == 2) {
        out += static_cast<char>(bits >> 4);
    } else if (count == 3) {
        out += static_cast<char>(bits >> 10);
        out += static_cast<char>(bits >> 2);
    }
    return true;
}

}  // namespace addressbook::vcard
