#include "addressbook/match_keys.h"

#include <algorithm>
#include <vector>

#include "addressbook/field_table.h"
#include "fileio/text_encoding.h"

namespace addressbook {

namespace {

// Base letters of U+00C0..U+017F, capitals and small letters alike.  '*'
// marks the two signs among them (× and ÷); '?' the letters written with
// two (see TwoLetterBase).
constexpr std::string_view kLatinBase =
    "aaaaaa?ceeeeiiii"
    "dnooooo*ouuuuy??"  // U+00C0..U+00DF
    "aaaaaa?ceeeeiiii"
    "dnooooo*ouuuuy?y"  // U+00E0..U+00FF
    "aaaaaaccccccccdd"
    "ddeeeeeeeeeegggg"
    "gggghhhhiiiiiiii"
    "ii??jjkkklllllll"
    "lllnnnnnnnnnoooo"
    "oo??rrrrrrssssss"
    "ssttttttuuuuuuuu"
    "uuuuwwyyyzzzzzzs";  // U+0100..U+017F
static_assert(kLatinBase.size() == 0x180 - 0xC0);

std::string_view TwoLetterBase(char32_t c) {
    switch (c) {
        case 0xC6:
        case 0xE6:
            return "ae";
        case 0xDE:
        case 0xFE:
            return "th";
        case 0xDF:
            return "ss";
        case 0x132:
        case 0x133:
            return "ij";
        default:
            return "oe";  // U+0152, U+0153
    }
}

char32_t LowerCase(char32_t c) {
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    }
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return c + 0x20;
    }
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130) {
            return U'i';
        }
        if (c == 0x178) {
            return 0xFF;
        }
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;  // small letters without a pair
        }
        // Capitals are even up to U+0137 and from U+014A to U+0177, odd
        // from U+0139 to U+0148 and from U+0179.
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        const bool capital = (c % 2 == 1) == oddCapitals;
        return capital ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) {
        return c + 0x20;  // Greek
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 0x20;  // Cyrillic
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

bool IsCombiningMark(char32_t c) {
    return c >= 0x300 && c <= 0x36F;
}

// Punctuation, symbols and spaces, which separate words.
bool IsSeparator(char32_t c) {
    if (c < 0x80) {
        return !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    }
    return c < 0xC0 || c == 0xD7 || c == 0xF7 || (c >= 0x2000 && c <= 0x206F) ||
           (c >= 0x3000 && c <= 0x3003) || c == 0xFEFF;
}

// Calls `each(cp)` for every character of `text`; a byte that is not part of
// a well-formed character is passed as a code point above U+10FFFF, so it
// stays distinct from every character and is written back unchanged.
constexpr char32_t kRawByte = 0x110000;

template <class Each>
void ForEachCharacter(std::string_view text, Each each) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto c = static_cast<unsigned char>(text[pos]);
        if (c < 0x80) {
            each(static_cast<char32_t>(c));
            ++pos;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = fileio::DecodeUtf8At(text, pos, cp);
        if (length == 0) {
            each(kRawByte + c);
            ++pos;
        } else {
            each(cp);
            pos += length;
        }
    }
}

void Append(std::string& out, char32_t c) {
    if (c >= kRawByte) {
        out += static_cast<char>(c - kRawByte);
    } else if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        fileio::AppendUtf8(out, c);
    }
}

std::string_view TrimSpaces(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The digits of a phone number, up to the first letter that follows a digit
// (so an extension written "x12" or "ext. 12" is not part of the number).
std::string PhoneDigits(std::string_view number) {
    std::string digits;
    for (const char c : number) {
        if (c >= '0' && c <= '9') {
            digits += c;
        } else if (!digits.empty() && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            break;
        }
    }
    return digits;
}

// FoldCase with every run of blanks made one space and none at the ends.
std::string FoldCaseAndSpacing(std::string_view text) {
    std::string out;
    bool pendingSpace = false;
    for (const char c : FoldCase(TrimSpaces(text))) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            pendingSpace = true;
            continue;
        }
        if (pendingSpace) {
            out += ' ';
            pendingSpace = false;
        }
        out += c;
    }
    return out;
}

bool IsPhoneField(int field) {
    return field == HomePhone || field == WorkPhone || field == CellPhone || field == Pager ||
           field == FaxPhone;
}

}  // namespace

std::string FoldCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCharacter(text, [&out](char32_t c) { Append(out, LowerCase(c)); });
    return out;
}

std::string FoldForMatch(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    const auto letter = [&](std::string_view base) {
        if (pendingSpace && !out.empty()) {
            out += ' ';
        }
        pendingSpace = false;
        out += base;
    };
    ForEachCharacter(text, [&](char32_t c) {
        c = LowerCase(c);
        if (IsCombiningMark(c)) {
            return;
        }
        if (c < kRawByte && IsSeparator(c)) {
            pendingSpace = true;
            return;
        }
        if (c >= 0xC0 && c < 0x180) {
            const char base = kLatinBase[c - 0xC0];
            if (base == '*') {
                pendingSpace = true;
            } else if (base == '?') {
                letter(TwoLetterBase(c));
            } else {
                letter(std::string_view(&base, 1));
            }
            return;
        }
        if (c == 0x451) {
            c = 0x435;  // ё is written е as often as not
        }
        std::string encoded;
        Append(encoded, c);
        letter(encoded);
    });
    return out;
}

std::string NameKey(std::string_view firstName, std::string_view lastName) {
    std::vector<std::string> words;
    for (const std::string& part : {FoldForMatch(firstName), FoldForMatch(lastName)}) {
        std::size_t start = 0;
        while (start < part.size()) {
            std::size_t end = part.find(' ', start);
            if (end == std::string::npos) {
                end = part.size();
            }
            words.emplace_back(part, start, end - start);
            start = end + 1;
        }
    }
    if (words.size() < 2) {
        return {};
    }
    std::sort(words.begin(), words.end());
    std::string key;
    for (const std::string& word : words) {
        if (!key.empty()) {
            key += ' ';
        }
        key += word;
    }
    return key;
}

std::string EmailKey(std::string_view address) {
    std::string key = FoldCase(TrimSpaces(address));
    if (key.rfind("mailto:", 0) == 0) {
        key.erase(0, 7);
    }
    const std::size_t at = key.find('@');
    if (at == std::string::npos || at == 0 || at + 1 == key.size()) {
        return {};
    }
    return key;
}

int CountryCodeLength(std::string_view digits) {
    if (digits.empty() || digits[0] < '1' || digits[0] > '9') {
        return 0;
    }
    const char first = digits[0];
    if (first == '1' || first == '7') {
        return 1;
    }
    const char second = digits.size() > 1 ? digits[1] : '0';
    switch (first) {
        case '2':
            return second == '0' || second == '7' ? 2 : 3;
        case '3':
            return second == '5' || second == '7' || second == '8' ? 3 : 2;
        case '4':
            return second == '2' ? 3 : 2;
        case '5':
            return second == '0' || second == '9' ? 3 : 2;
        case '6':
            return second >= '7' ? 3 : 2;
        case '8':
            return second == '1' || second == '2' || second == '4' || second == '6' ? 2 : 3;
        default:  // '9'
            return second == '6' || second == '7' || second == '9' ? 3 : 2;
    }
}

std::string PhoneKey(std::string_view number) {
    const std::string digits = PhoneDigits(number);
    std::string_view national = digits;
    const std::string_view trimmed = TrimSpaces(number);
    bool international = !trimmed.empty() && trimmed.front() == '+';
    if (!international && national.substr(0, 2) == "00") {
        international = true;
        national.remove_prefix(2);
    }
    if (international) {
        const auto length = static_cast<std::size_t>(CountryCodeLength(national));
        if (length == 0 || national.size() <= length) {
            return {};
        }
        national.remove_prefix(length);
    } else if (national.size() == 11 && national.front() == '1') {
        national.remove_prefix(1);
    }
    if (!national.empty() && national.front() == '0') {
        national.remove_prefix(1);
    }
    if (national.size() < 6) {
        return {};
    }
    return std::string(national);
}

std::string DigitsOf(std::string_view text) {
    std::string digits;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
        }
    }
    return digits;
}

std::string ValueKey(int field, std::string_view text) {
    // The first letter keeps keys of different kinds apart.
    if (field == Email1 || field == Email2) {
        std::string key = EmailKey(text);
        if (!key.empty()) {
            return "e" + key;
        }
    } else if (IsPhoneField(field)) {
        std::string key = PhoneKey(text);
        if (!key.empty()) {
            return "p" + key;
        }
        key = DigitsOf(text);
        if (!key.empty()) {
            return "d" + key;
        }
    } else if (field == LastName || field == FirstName || field == MiddleInitial) {
        return "n" + FoldForMatch(text);
    }
    return "t" + FoldCaseAndSpacing(text);
}

bool SameFieldValue(int field, std::string_view a, std::string_view b) {
    return ValueKey(field, a) == ValueKey(field, b);
}

}  // namespace addressbook
