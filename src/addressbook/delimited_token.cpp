#include "addressbook/delimited_token.h"

#include <algorithm>

#include "fileio/byte_scan.h"

namespace addressbook {

namespace {

enum class State { Start, InToken, InQuote, AfterToken };

// The first byte of [p, end) that `stops` marks, or `end`.  Most bytes of a
// line are text, so eight are looked up before one branch is taken.
template <typename StopTable>
[[gnu::always_inline]] inline const char* FindStop(const char* p, const char* end,
                                                   const StopTable& stops) {
    auto stopsAt = [&stops](const char* at) { return stops[static_cast<unsigned char>(*at)]; };
    while (end - p >= 8) {
        if (stopsAt(p) | stopsAt(p + 1) | stopsAt(p + 2) | stopsAt(p + 3) | stopsAt(p + 4) |
            stopsAt(p + 5) | stopsAt(p + 6) | stopsAt(p + 7)) {
            break;
        }
        p += 8;
    }
    while (p < end && !stopsAt(p)) {
        ++p;
    }
    return p;
}

}  // namespace

CDelimitedSplitter::CDelimitedSplitter(std::string_view white, std::string_view breaks,
                                       std::string_view quotes, char escape)
    : m_escape(escape) {
    // Later assignments win, so the classes are filled from the lowest
    // priority up: break, then quote, then white space, then escape.
    m_classes[static_cast<unsigned char>(escape)] = Escape;
    for (char ch : white) {
        m_classes[static_cast<unsigned char>(ch)] = White;
    }
    for (char ch : quotes) {
        m_classes[static_cast<unsigned char>(ch)] = Quote;
    }
    for (char ch : breaks) {
        m_classes[static_cast<unsigned char>(ch)] = Break;
    }
    for (std::size_t i = 0; i < m_classes.size(); ++i) {
        m_runStops[i] = m_classes[i] != Other;
    }
}

bool CDelimitedSplitter::Next(std::string_view line, std::size_t& position,
                              std::string& token) const {
    token.clear();
    if (position >= line.size()) {
        return false;
    }
    State state = State::Start;
    char openQuote = 0;
    const std::size_t end = line.size();
    while (position < end) {
        if (state == State::InQuote) {
            // Up to the same quote or an escape, everything is text.
            const char* const run = line.data() + position;
            const char* const stop =
                fileio::FindFirstOf(run, line.data() + end, openQuote, m_escape);
            token.append(run, stop);
            position = static_cast<std::size_t>(stop - line.data());
            if (position == end) {
                break;
            }
        }
        const char ch = line[position];
        switch (m_classes[static_cast<unsigned char>(ch)]) {
            case Break:
                if (state != State::InQuote) {
                    ++position;
                    return true;
                }
                token.push_back(ch);
                break;
            case Quote:
                if (state == State::Start) {
                    openQuote = ch;
                    state = State::InQuote;
                } else if (state == State::InQuote) {
                    if (ch == openQuote) {
                        state = State::AfterToken;
                    } else {
                        token.push_back(ch);
                    }
                } else {
                    return true;  // the quote opens the next field
                }
                break;
            case White:
                if (state == State::InToken) {
                    state = State::AfterToken;
                } else if (state == State::InQuote) {
                    token.push_back(ch);
                }
                break;
            case Escape:
                if (position + 1 == end) {
                    token.push_back(ch);
                    ++position;
                    return true;
                }
                if (state == State::Start) {
                    state = State::InToken;
                    continue;  // the same escape again, now inside the field
                }
                if (state == State::AfterToken) {
                    return true;
                }
                token.push_back(line[position + 1]);
                position += 2;
                continue;
            case Other:
                if (state == State::AfterToken) {
                    return true;  // the character opens the next field
                }
                if (state == State::Start) {
                    state = State::InToken;
                }
                {
                    // Take the whole run of ordinary characters at once.
                    std::size_t runEnd = position + 1;
                    while (runEnd < end &&
                           m_classes[static_cast<unsigned char>(line[runEnd])] == Other) {
                        ++runEnd;
                    }
                    token.append(line.substr(position, runEnd - position));
                    position = runEnd;
                }
                continue;
        }
        ++position;
    }
    return true;  // the end of the text ends the field (an open quote too)
}

const char* CDelimitedSplitter::SkipWhite(const char* at, const char* end) const {
    while (at < end && ClassOf(*at) == White) {
        ++at;
    }
    return at;
}

bool CDelimitedSplitter::EndAfterText(const char* at, const char* end, const char*& next) const {
    at = SkipWhite(at, end);
    if (at == end) {
        next = at;
        return true;
    }
    switch (ClassOf(*at)) {
        case Break:
            next = at + 1;
            return true;
        case Escape:
            return false;
        default:
            next = at;  // a quote or a character starts the next field
            return true;
    }
}

bool CDelimitedSplitter::NextView(std::string_view line, std::size_t& position,
                                  std::string_view& field, std::string& scratch) const {
    if (position >= line.size()) {
        field = {};
        return false;
    }
    const char* at = line.data() + position;
    ViewAt(line, at, field, scratch);
    position = static_cast<std::size_t>(at - line.data());
    return true;
}

std::size_t CDelimitedSplitter::NextViews(std::string_view line, std::size_t& position,
                                          std::span<std::string_view> fields,
                                          std::span<std::string> scratch) const {
    const char* const end = line.data() + line.size();
    // A local position, which the stores of the fields cannot alias.
    const char* at = line.data() + std::min(position, line.size());
    std::size_t count = 0;
    for (; count < fields.size() && at < end; ++count) {
        ViewAt(line, at, fields[count], scratch[count]);
    }
    position = std::max(position, static_cast<std::size_t>(at - line.data()));
    return count;
}

inline void CDelimitedSplitter::ViewAt(std::string_view line, const char*& at,
                                       std::string_view& field, std::string& scratch) const {
    const char* const end = line.data() + line.size();
    const char* const p = SkipWhite(at, end);
    if (p == end) {
        field = {};
        at = end;
        return;
    }
    switch (ClassOf(*p)) {
        case Break:
            field = {};
            at = p + 1;
            return;
        case Quote: {
            // Everything up to the same quote is the text, breaks and white
            // space included; the end of the line ends an open quote.
            const char quote = *p;
            const char* q = p + 1;
            for (;;) {
                q = fileio::FindFirstOf(q, end, quote, m_escape);
                // Another quote character is text; the escape is not.
                if (q == end || *q == quote || ClassOf(*q) == Escape) {
                    break;
                }
                ++q;
            }
            const std::string_view text(p + 1, static_cast<std::size_t>(q - p - 1));
            if (q == end) {
                field = text;
                at = end;
                return;
            }
            // Most often a break follows the closing quote right away.
            if (*q == quote && q + 1 < end && ClassOf(q[1]) == Break) {
                field = text;
                at = q + 2;
                return;
            }
            if (*q == quote && EndAfterText(q + 1, end, at)) {
                field = text;
                return;
            }
            break;
        }
        case Other: {
            const char* q = FindStop(p + 1, end, m_runStops);
            if (EndAfterText(q, end, at)) {
                field = std::string_view(p, static_cast<std::size_t>(q - p));
                return;
            }
            break;
        }
        default:
            break;
    }
    // An escape: the general reader.
    auto position = static_cast<std::size_t>(at - line.data());
    Next(line, position, scratch);
    at = line.data() + position;
    field = scratch;
}

char OpenQuoteAtEnd(std::string_view line, char open, std::string_view quotes, char escape) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (ch == escape) {
            ++i;  // at the very end it stands for itself
        } else if (open != '\0') {
            if (ch == open) {
                open = '\0';
            }
        } else if (quotes.find(ch) != std::string_view::npos) {
            open = ch;
        }
    }
    return open;
}

std::optional<std::string> NextDelimitedToken(std::string_view line, std::size_t& position,
                                              std::string_view white, std::string_view breaks,
                                              std::string_view quotes, char escape) {
    CDelimitedSplitter splitter(white, breaks, quotes, escape);
    std::string token;
    if (!splitter.Next(line, position, token)) {
        return std::nullopt;
    }
    return token;
}

}  // namespace addressbook
