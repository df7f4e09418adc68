#include "clausedb/clause_scanner.h"

#include "clausedb/clause_reader.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace clausedb {
namespace {

enum CharClass : std::uint8_t {
    kOther,
    kDigit,
    kLetter,  // A-Z, a-z and '_'
    kSign,    // + -
    kQuote,   // '
    kDouble,  // "
    kOpen,
    kClose,
    kComma,
    kOpenSquare,
    kCloseSquare,
    kEquals,
    kPeriod,
    kBlank,  // blank, tab
    kLineFeed,
    kSlash,
};

constexpr std::array<std::uint8_t, 256> MakeClasses() {
    std::array<std::uint8_t, 256> t{};
    for (int c = '0'; c <= '9'; ++c) {
        t[c] = kDigit;
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        t[c] = kLetter;
        t[c - 'a' + 'A'] = kLetter;
    }
    t['_'] = kLetter;
    t['+'] = kSign;
    t['-'] = kSign;
    t['\''] = kQuote;
    t['"'] = kDouble;
    t['('] = kOpen;
    t[')'] = kClose;
    t[','] = kComma;
    t['['] = kOpenSquare;
    t[']'] = kCloseSquare;
    t['='] = kEquals;
    t['.'] = kPeriod;
    t[' '] = kBlank;
    t['\t'] = kBlank;
    t['\n'] = kLineFeed;
    t['/'] = kSlash;
    return t;
}

constexpr std::array<std::uint8_t, 256> kClass = MakeClasses();

// Bytes that end a plain run inside a string, and inside a quoted word.
constexpr std::array<bool, 256> MakeStops(char close, bool escapes) {
    std::array<bool, 256> t{};
    t[static_cast<unsigned char>(close)] = true;
    t['\\'] = escapes;
    t['\r'] = true;
    t['\n'] = true;
    return t;
}

constexpr std::array<bool, 256> kStopString = MakeStops('"', true);
constexpr std::array<bool, 256> kStopQuoted = MakeStops('\'', false);

int CountLines(const char* p, const char* end) {
    int count = 0;
    while ((p = static_cast<const char*>(
                std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
        ++count;
        ++p;
    }
    return count;
}

inline std::uint8_t ClassOf(char c) {
    return kClass[static_cast<unsigned char>(c)];
}

inline bool IsWordChar(char c) {
    std::uint8_t k = ClassOf(c);
    return k == kLetter || k == kDigit;
}

constexpr int kSingle[] = {
    TokOther, TokOther, TokOther,      TokOther,       TokOther,  TokOther,  TokOpen,
    TokClose, TokComma, TokOpenSquare, TokCloseSquare, TokEquals, TokPeriod,
};

ScannedToken Make(int code, std::size_t length) {
    return {code, length, false, false, 0};
}

// The scanner proper; inlined into both entry points below.
[[gnu::always_inline]] inline ScannedToken ScanAt(const char* p, const char* end,
                                                  InputLineEnd ending, bool more) {
    if (p >= end) {
        return Make(more ? TokMore : TokEnd, 0);
    }
    const bool crlf = ending == InputLineEnd::CrLf;
    const char* q = p + 1;
    switch (ClassOf(*p)) {
        case kSign:
            if (q == end && more) {
                return Make(TokMore, 0);
            }
            if (q == end || ClassOf(*q) != kDigit) {
                return Make(TokOther, 1);
            }
            ++q;
            [[fallthrough]];
        case kDigit:
            while (q < end && ClassOf(*q) == kDigit) {
                ++q;
            }
            if (q == end && more) {
                return Make(TokMore, 0);
            }
            return Make(TokInteger, static_cast<std::size_t>(q - p));
        case kLetter:
            while (q < end && IsWordChar(*q)) {
                ++q;
            }
            if (q == end && more) {
                return Make(TokMore, 0);
            }
            if (q - p == 1 && *p == 'e') {
                return Make(TokExp, 1);
            }
            return Make(TokWord, static_cast<std::size_t>(q - p));
        case kQuote: {
            bool cook = false;
            int lines = 0;
            for (; q < end; ++q) {
                char c = *q;
                if (!kStopQuoted[static_cast<unsigned char>(c)]) {
                    continue;
                }
                if (c == '\'') {
                    return {TokWord, static_cast<std::size_t>(q - p) + 1, true, cook, lines};
                }
                if (c == '\n') {
                    ++lines;
                } else {  // carriage return
                    cook = cook || crlf;
                }
            }
            return Make(more ? TokMore : TokOther, more ? 0 : 1);  // no closing quote (yet)
        }
        case kDouble: {
            bool cook = false;
            int lines = 0;
            while (q < end) {
                char c = *q;
                if (!kStopString[static_cast<unsigned char>(c)]) {
                    ++q;
                } else if (c == '"') {
                    return {TokString, static_cast<std::size_t>(q - p) + 1, false, cook, lines};
                } else if (c == '\\') {
                    cook = true;
                    if (end - q < 2) {
                        break;
                    }
                    lines += q[1] == '\n';
                    q += 2;
                } else {
                    if (c == '\n') {
                        ++lines;
                    } else {  // carriage return
                        cook = cook || crlf;
                    }
                    ++q;
                }
            }
            return Make(more ? TokMore : TokOther, more ? 0 : 1);  // no closing quote (yet)
        }
        case kBlank:
            while (q < end && ClassOf(*q) == kBlank) {
                ++q;
            }
            return Make(TokBlank, static_cast<std::size_t>(q - p));
        case kLineFeed:
            return Make(TokLineFeed, 1);
        case kSlash: {
            if (q == end && more) {
                return Make(TokMore, 0);
            }
            if (q == end || *q != '*') {
                return Make(TokOther, 1);
            }
            for (const char* s = q + 1; s + 1 < end; ++s) {
                s = static_cast<const char*>(
                    std::memchr(s, '*', static_cast<std::size_t>(end - s)));
                if (s == nullptr) {
                    break;
                }
                if (s + 1 < end && s[1] == '/') {
                    return {TokComment, static_cast<std::size_t>(s + 2 - p), false, false,
                            CountLines(p, s)};
                }
            }
            if (more) {
                return Make(TokMore, 0);
            }
            return {TokOpenComment, static_cast<std::size_t>(end - p), false, false,
                    CountLines(p, end)};
        }
        default:
            if (*p == '\r' && crlf) {
                if (q == end && more) {
                    return Make(TokMore, 0);
                }
                if (q < end && *q == '\n') {
                    return Make(TokLineFeed, 2);
                }
            }
            return Make(kSingle[ClassOf(*p)], 1);
    }
}

}  // namespace

ScannedToken ScanToken(const char* p, const char* end, InputLineEnd ending, bool more) {
    return ScanAt(p, end, ending, more);
}

void CookText(std::string_view body, bool escapes, InputLineEnd ending, std::string& out) {
    const bool crlf = ending == InputLineEnd::CrLf;
    const char* p = body.data();
    const char* end = p + body.size();
    const char* run = p;  // start of the bytes not yet copied
    while (p < end) {
        char c = *p;
        if (escapes && c == '\\' && end - p > 1) {
            out.append(run, p);
            char next = p[1];
            p += 2;
            if (next == '"' || next == '\\') {
                out += next;
            } else if (crlf && next == '\r' && p < end && *p == '\n') {
                // Any other backslash stays with the character after it; a
                // carriage return plus line feed there is one line feed.
                out += '\\';
            } else {
                out += '\\';
                out += next;
            }
            run = p;
        } else if (crlf && c == '\r' && end - p > 1 && p[1] == '\n') {
            out.append(run, p);
            run = ++p;
        } else {
            ++p;
        }
    }
    out.append(run, end);
}

namespace {

// The text of a quoted word or string token, cooked when it must be.
std::string_view TokenBody(ReaderState& st, const char* start, const ScannedToken& t,
                           bool escapes) {
    std::string_view body(start + 1, t.length - 2);
    if (!t.cook) {
        return body;
    }
    st.scratch.clear();
    CookText(body, escapes, st.ending, st.scratch);
    return st.scratch;
}

// The interned offset of a word.  Words tend to follow each other in the same
// order in every clause (the attribute names of a book), so the word that
// followed the previous word last time is tried before the intern table.
std::uint32_t InternWord(ReaderState& st, std::string_view text) {
    std::uint32_t& guess = st.followingWord[(st.lastWord * 2654435761u) >> 24];
    if (guess == 0 || st.cells->Text(guess) != text) {
        guess = st.cells->Intern(text);
    }
    st.lastWord = guess;
    return guess;
}

}  // namespace

int NextToken(ReaderState& st, ClauseValue& value) {
    for (;;) {
        // Blanks and line ends are by far the most frequent tokens: skip them
        // here before asking the scanner (same result, fewer steps).
        const char* start = st.p;
        while (start < st.end) {
            char c = *start;
            if (c == ' ' || c == '\t') {
                ++start;
            } else if (c == '\n') {
                ++start;
                ++st.line;
            } else if (c == '\r' && st.ending == InputLineEnd::CrLf && st.end - start > 1 &&
                       start[1] == '\n') {
                start += 2;
                ++st.line;
            } else {
                break;
            }
        }
        ScannedToken t = ScanAt(start, st.end, st.ending, st.more);
        st.p = start;
        if (t.code == TokMore) {
            Refill(st);
            continue;
        }
        st.p = start + t.length;
        st.line += t.lines;
        switch (t.code) {
            case TokBlank:
                continue;
            case TokLineFeed:
                ++st.line;
                continue;
            case TokComment:
                continue;
            default:
                break;
        }
        st.tokenLine = st.line - t.lines;
        value.term = 0;
        value.text = 0;
        switch (t.code) {
            case TokOpenComment:
                return TokOther;
            case TokWord:
                value.text = InternWord(st, t.quoted ? TokenBody(st, start, t, false)
                                                     : std::string_view(start, t.length));
                break;
            case TokString:
                value.text = st.cells->AddText(TokenBody(st, start, t, true));
                break;
            case TokInteger:
                value.text = st.cells->AddText(std::string_view(start, t.length));
                break;
            default:
                break;
        }
        return t.code;
    }
}

}  // namespace clausedb
