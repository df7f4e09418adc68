#include "ini_file.h"

#include "fileio/text_encoding.h"

namespace settings {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Trims blanks from both ends of text[begin, end).
void TrimRange(std::string_view text, std::size_t& begin, std::size_t& end) {
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
}

std::string_view Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    TrimRange(text, begin, end);
    return text.substr(begin, end - begin);
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool IniFile::IsValidSectionName(std::string_view name) {
    return !name.empty() && Trim(name).size() == name.size() &&
           name.find(']') == std::string_view::npos && !HasLineBreak(name) &&
           fileio::IsValidUtf8(name);
}

bool IniFile::IsValidKeyName(std::string_view key) {
    return !key.empty() && Trim(key).size() == key.size() &&
           key.find('=') == std::string_view::npos && !HasLineBreak(key) && key[0] != '[' &&
           key[0] != ';' && key[0] != '#' && fileio::IsValidUtf8(key);
}

bool IniFile::IsValidValue(std::string_view value) {
    return !HasLineBreak(value) && fileio::IsValidUtf8(value);
}

IniFile::Line IniFile::Classify(std::string text) {
    Line line;
    line.text = std::move(text);
    std::string_view s = line.text;
    std::size_t first = 0;
    while (first < s.size() && IsBlank(s[first])) {
        ++first;
    }
    if (first == s.size()) {
        line.kind = LineKind::kBlank;
        return line;
    }
    if (s[first] == ';' || s[first] == '#') {
        line.kind = LineKind::kComment;
        return line;
    }
    if (s[first] == '[') {
        std::size_t close = s.find(']', first + 1);
        if (close != std::string_view::npos) {
            line.kind = LineKind::kSection;
            line.nameBegin = first + 1;
            line.nameEnd = close;
            TrimRange(s, line.nameBegin, line.nameEnd);
        }
        return line;
    }
    std::size_t equals = s.find('=', first);
    if (equals == std::string_view::npos || equals == first) {
        return line;  // no key on this line
    }
    line.kind = LineKind::kKey;
    line.nameBegin = first;
    line.nameEnd = equals;
    TrimRange(s, line.nameBegin, line.nameEnd);
    line.keepEnd = equals + 1;
    while (line.keepEnd < s.size() && (s[line.keepEnd] == ' ' || s[line.keepEnd] == '\t')) {
        ++line.keepEnd;
    }
    std::size_t valueBegin = equals + 1;
    std::size_t valueEnd = s.size();
    TrimRange(s, valueBegin, valueEnd);
    line.valueBegin = valueBegin;
    line.valueEnd = valueEnd;
    return line;
}

IniFile IniFile::Parse(std::string text) {
    fileio::DecodeToUtf8(text);
    // A second mark (a file saved twice by a careless editor) would otherwise
    // glue itself to the first line and hide a section header.
    while (std::string_view(text).substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.erase(0, kUtf8Bom.size());
    }

    IniFile doc;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t newline = text.find('\n', pos);
        std::size_t end = newline == std::string::npos ? text.size() : newline;
        std::size_t lineEnd = end;
        // Drop the CR of CR LF (and any stray CRs before it) so that lines
        // never end in a CR and serialising does not change what is read.
        while (lineEnd > pos && text[lineEnd - 1] == '\r') {
            --lineEnd;
        }
        doc.m_lines.push_back(Classify(text.substr(pos, lineEnd - pos)));
        if (newline == std::string::npos) {
            doc.m_bLastLineUnterminated = true;
            break;
        }
        pos = newline + 1;
    }
    return doc;
}

std::string IniFile::Serialize() const {
    std::size_t total = 0;
    for (const Line& line : m_lines) {
        total += line.text.size() + 1;
    }
    std::string out;
    out.reserve(total);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        out += m_lines[i].text;
        if (i + 1 < m_lines.size() || !m_bLastLineUnterminated) {
            out += '\n';
        }
    }
    return out;
}

std::size_t IniFile::FindKeyLine(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == LineKind::kSection) {
            inSection = EqualsIgnoreAsciiCase(line.Name(), section);
        } else if (inSection && line.kind == LineKind::kKey &&
                   EqualsIgnoreAsciiCase(line.Name(), key)) {
            return i;
        }
    }
    return std::string::npos;
}

std::optional<std::string_view> IniFile::Find(std::string_view section,
                                              std::string_view key) const {
    std::size_t index = FindKeyLine(section, key);
    if (index == std::string::npos) {
        return std::nullopt;
    }
    return m_lines[index].Value();
}

void IniFile::InsertLine(std::size_t index, std::string text) {
    if (index >= m_lines.size()) {
        // Whatever was the last line now gets a line end.
        m_bLastLineUnterminated = false;
        index = m_lines.size();
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), Classify(std::move(text)));
}

bool IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    if (!IsValidSectionName(section) || !IsValidKeyName(key) || !IsValidValue(value)) {
        return false;
    }

    std::size_t index = FindKeyLine(section, key);
    if (index != std::string::npos) {
        Line& line = m_lines[index];
        std::string text = line.text.substr(0, line.keepEnd);
        text.append(value);
        line = Classify(std::move(text));
        return true;
    }

    std::string newLine;
    newLine.reserve(key.size() + 1 + value.size());
    newLine.append(key).append("=").append(value);

    // The key goes into the first block of the section, after its last
    // non-blank line.
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != LineKind::kSection ||
            !EqualsIgnoreAsciiCase(m_lines[i].Name(), section)) {
            continue;
        }
        std::size_t insertAt = i + 1;
        for (std::size_t j = i + 1; j < m_lines.size() && m_lines[j].kind != LineKind::kSection;
             ++j) {
            if (m_lines[j].kind != LineKind::kBlank) {
                insertAt = j + 1;
            }
        }
        InsertLine(insertAt, std::move(newLine));
        return true;
    }

    // A new section at the end, set off by a blank line.
    if (!m_lines.empty() && m_lines.back().kind != LineKind::kBlank) {
        InsertLine(m_lines.size(), std::string());
    }
    std::string header;
    header.reserve(section.size() + 2);
    header.append("[").append(section).append("]");
    InsertLine(m_lines.size(), std::move(header));
    InsertLine(m_lines.size(), std::move(newLine));
    return true;
}

std::vector<IniEntry> IniFile::Entries() const {
    std::vector<IniEntry> entries;
    const Line* section = nullptr;
    for (const Line& line : m_lines) {
        if (line.kind == LineKind::kSection) {
            section = &line;
        } else if (line.kind == LineKind::kKey && section != nullptr) {
            entries.push_back({section->Name(), line.Name(), line.Value()});
        }
    }
    return entries;
}

}  // namespace settings
