// Reading commands of the shape of records (see RecordConsumer) straight
// from their bytes: no terms are built, no word is interned, and a pair
// written as the writer writes it is recognised by one comparison of its
// leading bytes.  Anything the fast reading does not expect makes it give
// up, leaving the command to the usual reading, which is exact by
// definition; so every shortcut here only has to be right where it is taken.
#include <array>
#include <cstring>

#include "clausedb/clause_reader.h"

namespace clausedb {
namespace {

bool IsWordStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsWordByte(char c) {
    return IsWordStart(c) || (c >= '0' && c <= '9');
}

// Skips blanks, tabs and line ends (carriage return plus line feed too in
// CR LF mode), counting lines.  True when it stopped at a byte that starts a
// token; false when the bytes at hand ran out first, or end in a carriage
// return that a line feed still to come would pair with.
bool SkipSpace(const char*& p, const char* end, bool crlf, int& line) {
    for (; p < end; ++p) {
        const char c = *p;
        if (c == '\n') {
            ++line;
        } else if (c == '\r' && crlf) {
            if (end - p < 2) {
                return false;
            }
            if (p[1] != '\n') {
                return true;  // a carriage return of its own: a token
            }
            ++p;
            ++line;
        } else if (c != ' ' && c != '\t') {
            return true;
        }
    }
    return false;
}

// Whether the `size` bytes at `a` and `b` are equal; for the short name
// prefixes, where a call of memcmp would cost more than the comparison.
bool SameBytes(const char* a, const char* b, std::size_t size) {
    if (size < 8) {
        return std::memcmp(a, b, size) == 0;
    }
    std::uint64_t x, y;
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) {
            return false;
        }
    }
    // The last eight bytes, overlapping those compared already.
    std::memcpy(&x, a + size - 8, 8);
    std::memcpy(&y, b + size - 8, 8);
    return x == y;
}

// The length of the string token at `p` (an opening double quote) when it
// holds no byte that needs cooking or counting and ends before `end`; 0
// otherwise, when ScanToken must look at it.  Most values of a book are such
// strings, many of them empty.
std::size_t PlainStringLength(const char* p, const char* end) {
    if (end - p >= 2 && p[1] == '"') {
        return 2;  // the empty string, without a call
    }
    const char* q = SkipPlainString(p + 1, end);
    return q < end && *q == '"' ? static_cast<std::size_t>(q + 1 - p) : 0;
}

// Whether `prefix` (not empty) stands at `p`.
bool StartsWith(const char* p, const char* end, const std::string& prefix) {
    return !prefix.empty() && static_cast<std::size_t>(end - p) >= prefix.size() &&
           SameBytes(p, prefix.data(), prefix.size());
}

}  // namespace

RecordShape::RecordShape(const RecordConsumer& records, InputLineEnd ending)
    : consumer(records), texts(records.names->Size()) {
    const CAttributeNames& names = *records.names;
    const std::string separator = ending == InputLineEnd::CrLf ? ",\r\n  " : ",\n  ";
    for (std::size_t i = 0; i < names.Size(); ++i) {
        const std::string& name = names.Name(i);
        std::string prefix;
        if (!name.empty() && name.find_first_of("'\r\n") == std::string::npos) {
            // A quoted word runs to the next single quote; a bare word (the
            // writer writes only words that scan as one) to the blank.
            prefix = WordNeedsQuotes(name) ? "'" + name + "'" : name;
            prefix += " = \"";
        }
        following.push_back(prefix.empty() ? prefix : separator + prefix);
        prefixes.push_back(std::move(prefix));
    }
}

int RecordShape::Find(std::string_view text) const {
    const CAttributeNames& names = *consumer.names;
    for (std::size_t i = 0; i < names.Size(); ++i) {
        if (names.Name(i) == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// record: word "(" [pair {"," pair} [","]] ")" "."
// pair:   name "=" string, where name is one of the record's names
Plain ReadRecordCommand(ReaderState& st) {
    RecordShape& shape = *st.records;
    const bool crlf = st.ending == InputLineEnd::CrLf;
    const char* p = st.p;
    const char* const end = st.end;
    int line = st.line;
    // The bytes at hand end inside the command: wait for more, or at the end
    // of the input leave the command to the parser, which reports it.
    const Plain cut = st.more ? Plain::More : Plain::Other;

    if (!SkipSpace(p, end, crlf, line)) {
        return st.more ? Plain::More : p == end ? Plain::End : Plain::Other;
    }
    const char* functor = p;
    if (!IsWordStart(*p)) {
        return Plain::Other;
    }
    while (++p < end && IsWordByte(*p)) {
    }
    if (p == end) {
        return cut;
    }
    const std::string_view functorText(functor, static_cast<std::size_t>(p - functor));
    if (functorText == "e" || *p != '(') {
        return Plain::Other;  // the exponent mark, or no argument list right after the word
    }
    ++p;

    const std::size_t count = shape.texts.size();
    std::fill(shape.texts.begin(), shape.texts.end(), std::string_view());
    shape.cooked.clear();
    shape.cookedBytes.clear();
    std::uint64_t seen = 0;
    std::size_t hint = 0;  // pairs usually come in the order of the names
    for (;;) {
        // After "(" or ",": a pair, or the end of the arguments.
        if (!SkipSpace(p, end, crlf, line)) {
            return cut;
        }
        if (*p == ')') {
            break;
        }
        int index = -1;
        if (hint < count && StartsWith(p, end, shape.prefixes[hint])) {
            index = static_cast<int>(hint);
            p += shape.prefixes[hint].size() - 1;  // at the value's opening quote
        } else {
            const ScannedToken name = ScanToken(p, end, st.ending, st.more);
            if (name.code == TokMore) {
                return Plain::More;
            }
            if (name.code != TokWord || name.cook) {
                return Plain::Other;
            }
            index = shape.Find(name.quoted ? std::string_view(p + 1, name.length - 2)
                                           : std::string_view(p, name.length));
            if (index < 0) {
                return Plain::Other;
            }
            line += name.lines;
            p += name.length;
            if (!SkipSpace(p, end, crlf, line)) {
                return cut;
            }
            if (*p != '=') {
                return Plain::Other;
            }
            ++p;
            if (!SkipSpace(p, end, crlf, line)) {
                return cut;
            }
        }
        // The value of pair `index`, and of each pair that follows it as the
        // writer writes the next name's pair.
        for (;;) {
            const std::uint64_t bit = std::uint64_t{1} << index;
            if ((seen & bit) != 0 || *p != '"') {
                return Plain::Other;  // a name given twice, or a value that is no string
            }
            seen |= bit;
            ScannedToken value{TokString, PlainStringLength(p, end), false, false, 0};
            if (value.length == 0) {
                value = ScanToken(p, end, st.ending, st.more);
                if (value.code == TokMore) {
                    return Plain::More;
                }
                if (value.code != TokString) {
                    return Plain::Other;
                }
            }
            const std::string_view body(p + 1, value.length - 2);
            if (value.cook) {
                const std::size_t at = shape.cookedBytes.size();
                CookText(body, true, st.ending, shape.cookedBytes);
                shape.cooked.push_back({index, at, shape.cookedBytes.size() - at});
            } else {
                shape.texts[static_cast<std::size_t>(index)] = body;
            }
            line += value.lines;
            p += value.length;
            hint = static_cast<std::size_t>(index) + 1;
            if (hint >= count || !StartsWith(p, end, shape.following[hint])) {
                break;
            }
            index = static_cast<int>(hint);
            p += shape.following[hint].size() - 1;
            ++line;  // the separator's line feed
        }
        if (!SkipSpace(p, end, crlf, line)) {
            return cut;
        }
        if (*p == ')') {
            break;
        }
        if (*p != ',') {
            return Plain::Other;
        }
        ++p;
    }
    ++p;  // past ")"
    if (!SkipSpace(p, end, crlf, line)) {
        return cut;
    }
    if (*p != '.') {
        return Plain::Other;
    }
    st.p = p + 1;
    st.line = line;
    st.tokenLine = line;
    for (const RecordShape::Cooked& cooked : shape.cooked) {
        shape.texts[static_cast<std::size_t>(cooked.name)] =
            std::string_view(shape.cookedBytes).substr(cooked.at, cooked.size);
    }
    shape.consumer.take(functorText, shape.texts.data());
    return Plain::Read;
}

}  // namespace clausedb
