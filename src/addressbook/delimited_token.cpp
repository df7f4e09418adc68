#include "addressbook/delimited_token.h"

namespace addressbook {

namespace {

enum class State { Start, InToken, InQuote, AfterToken };

}  // namespace

CDelimitedSplitter::CDelimitedSplitter(std::string_view white, std::string_view breaks,
                                       std::string_view quotes, char escape) {
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

std::size_t CDelimitedSplitter::SkipWhite(std::string_view line, std::size_t at) const {
    while (at < line.size() && ClassOf(line[at]) == White) {
        ++at;
    }
    return at;
}

bool CDelimitedSplitter::EndAfterText(std::string_view line, std::size_t at,
                                      std::size_t& position) const {
    at = SkipWhite(line, at);
    if (at == line.size()) {
        position = at;
        return true;
    }
    switch (ClassOf(line[at])) {
        case Break:
            position = at + 1;
            return true;
        case Escape:
            return false;
        default:
            position = at;  // a quote or a character starts the next field
            return true;
    }
}

bool CDelimitedSplitter::NextView(std::string_view line, std::size_t& position,
                                  std::string_view& field, std::string& scratch) const {
    field = {};
    if (position >= line.size()) {
        return false;
    }
    const std::size_t end = line.size();
    const std::size_t p = SkipWhite(line, position);
    if (p == end) {
        position = end;
        return true;
    }
    switch (ClassOf(line[p])) {
        case Break:
            position = p + 1;
            return true;
        case Quote: {
            // Everything up to the same quote is the text, breaks and white
            // space included; the end of the line ends an open quote.
            const char quote = line[p];
            std::size_t q = p + 1;
            // (The quote character is always of the quote class.)
            while (q < end && line[q] != quote && ClassOf(line[q]) != Escape) {
                ++q;
            }
            if (q == end) {
                field = line.substr(p + 1);
                position = end;
                return true;
            }
            if (line[q] == quote && EndAfterText(line, q + 1, position)) {
                field = line.substr(p + 1, q - p - 1);
                return true;
            }
            break;
        }
        case Other: {
            std::size_t q = p + 1;
            while (q < end && ClassOf(line[q]) == Other) {
                ++q;
            }
            if (EndAfterText(line, q, position)) {
                field = line.substr(p, q - p);
                return true;
            }
            break;
        }
        default:
            break;
    }
    // An escape: the general reader.
    Next(line, position, scratch);
    field = scratch;
    return true;
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
