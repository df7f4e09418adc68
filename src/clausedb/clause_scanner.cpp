#include "clausedb/clause_scanner.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "clausedb/clause_reader.h"
#include "fileio/byte_scan.h"

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

// The first byte at or after `q` of a quoted word (`'`) or of a string (`"`)
// that needs attention, or `end`: the closing quote, a backslash (strings
// only), a carriage return or a line feed.
inline const char* SkipPlainWord(const char* q, const char* end) {
    return fileio::FindFirstOf(q, end, '\'', '\r', '\n');
}
inline const char* SkipPlainText(const char* q, const char* end) {
    return fileio::FindFirstOf(q, end, '"', '\\', '\r', '\n');
}

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
            for (; (q = SkipPlainWord(q, end)) < end; ++q) {
                char c = *q;
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
            while ((q = SkipPlainText(q, end)) < end) {
                char c = *q;
                if (c == '"') {
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

const char* SkipPlainString(const char* p, const char* end) {
    return SkipPlainText(p, end);
}

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

namespace {

// The next token for the parser and its text; blanks, line ends and comments
// are skipped and counted.  When the input at hand ends inside a token and
// more follows, the buffer is refilled, or with `refill` off TokMore comes
// back (st.p then stays before the token).
[[gnu::always_inline]] inline int ScanNext(ReaderState& st, ClauseValue& value, bool refill) {
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
            if (!refill) {
                return TokMore;
            }
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

// One command of the usual shape (see ReadPlainCommands), in the order in
// which the parser's actions build its terms.
Plain ReadPlainCommand(ReaderState& st) {
    ClauseValue functor, token;
    switch (ScanNext(st, functor, false)) {
        case TokWord:
            break;
        case TokMore:
            return Plain::More;
        case TokEnd:
            return Plain::End;
        default:
            return Plain::Other;
    }
    int t = ScanNext(st, token, false);
    if (t == TokPeriod) {
        FinishCommand(st, ListOf(st, MakeWord(st, functor)), nullptr);
        return Plain::Read;
    }
    if (t != TokOpen) {
        return t == TokMore ? Plain::More : Plain::Other;
    }
    std::uint32_t arguments = 0;
    t = ScanNext(st, token, false);
    if (t != TokClose) {
        for (;;) {
            // argument: word "=" value | value, where value is a word or a
            // string here
            std::uint32_t argument;
            if (t == TokWord) {
                const ClauseValue name = token;
                t = ScanNext(st, token, false);
                if (t == TokEquals) {
                    t = ScanNext(st, token, false);
                    std::uint32_t value;
                    if (t == TokWord) {
                        value = MakeWord(st, token);
                    } else if (t == TokString) {
                        value = MakeString(st, token);
                    } else {
                        return t == TokMore ? Plain::More : Plain::Other;
                    }
                    argument = MakePair(st, name, value);
                    t = ScanNext(st, token, false);
                } else {
                    argument = MakeWord(st, name);
                }
            } else if (t == TokString) {
                argument = MakeString(st, token);
                t = ScanNext(st, token, false);
            } else {
                return t == TokMore ? Plain::More : Plain::Other;
            }
            if (arguments == 0) {
                arguments = ListOf(st, argument);
            } else {
                AppendTerm(st, arguments, argument);
            }
            if (t == TokComma) {
                t = ScanNext(st, token, false);
                if (t == TokClose) {
                    break;  // a comma may follow the last argument
                }
            } else if (t == TokClose) {
                break;
            } else {
                return t == TokMore ? Plain::More : Plain::Other;
            }
        }
    }
    t = ScanNext(st, token, false);
    if (t != TokPeriod) {
        return t == TokMore ? Plain::More : Plain::Other;
    }
    FinishCommand(st, MakeCompound(st, functor, arguments), nullptr);
    return Plain::Read;
}

}  // namespace

int ReadPlainCommands(ReaderState& st) {
    int count = 0;
    while (st.plainCommands && st.atCommand) {
        const char* start = st.p;
        const int line = st.line;
        const int tokenLine = st.tokenLine;
        const StoreMark mark = st.store->Mark();
        Plain result = st.records != nullptr ? ReadRecordCommand(st) : Plain::Other;
        if (result == Plain::Other) {
            result = ReadPlainCommand(st);
        }
        if (result == Plain::Read) {
            ++count;
            ++st.plainSuccesses;
            continue;
        }
        // Back to the start of the command, with what was built given back.
        st.p = start;
        st.line = line;
        st.tokenLine = tokenLine;
        st.store->Rewind(mark);
        if (result == Plain::More) {
            Refill(st);
            continue;
        }
        if (result == Plain::End) {
            break;
        }
        // Input of another kind: the parser reads it.  Where that is most of
        // the input, trying first is no longer worth it.
        if (++st.plainFailures > 16 && st.plainFailures * 4 > st.plainSuccesses) {
            st.plainCommands = false;
        }
        break;
    }
    return count;
}

int NextToken(ReaderState& st, ClauseValue& value) {
    if (st.atCommand) {
        ReadPlainCommands(st);
        st.atCommand = false;  // the parser is inside a command from here
    }
    return ScanNext(st, value, true);
}

}  // namespace clausedb
