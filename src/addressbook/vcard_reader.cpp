#include "addressbook/vcard_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include "fileio/file_reading.h"
#include "fileio/text_encoding.h"

namespace addressbook::vcard {

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 18;
std::size_t g_blockSizeForTesting = 0;
std::size_t g_maxPropertyForTesting = 0;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsBegin(std::string_view line) {
    return line.size() >= 11 && EqualsIgnoreCase(TrimBlanks(line), "BEGIN:VCARD");
}

bool IsEnd(std::string_view line) {
    return line.size() >= 9 && EqualsIgnoreCase(TrimBlanks(line), "END:VCARD");
}

// Whether the parameters of a (possibly unfinished) content line ask for
// quoted-printable, as DecodeTransport reads them.
bool AsksQuotedPrintable(std::string_view line) {
    Property property;
    return ParseContentLine(line, property) && IsQuotedPrintable(property);
}

// Whether a line starts like a property of its own: a known name, or an
// extension "X-...", with an optional group, then ";" or ":".  A
// quoted-printable value whose writer left a soft line break ("=") at its
// end is not continued by such a line.
bool StartsProperty(std::string_view line) {
    static constexpr std::string_view kNames[] = {
        "ADR",    "AGENT", "ANNIVERSARY", "BDAY",    "CALADRURI", "CALURI", "CATEGORIES",  "CLASS",
        "EMAIL",  "FBURL", "FN",          "GENDER",  "GEO",       "IMPP",   "KEY",         "KIND",
        "LABEL",  "LANG",  "LOGO",        "MAILER",  "MEMBER",    "N",      "NICKNAME",    "NOTE",
        "ORG",    "PHOTO", "PRODID",      "RELATED", "REV",       "ROLE",   "SORT-STRING", "SOUND",
        "SOURCE", "TEL",   "TITLE",       "TZ",      "UID",       "URL",    "VERSION"};
    const std::size_t end = line.find_first_of(";:");
    if (end == std::string_view::npos) {
        return false;
    }
    std::string_view name = line.substr(0, end);
    for (char c : name) {
        const bool wordChar = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                              (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
        if (!wordChar) {
            return false;
        }
    }
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name.remove_prefix(dot + 1);
    }
    if (name.size() > 2 && EqualsIgnoreCase(name.substr(0, 2), "X-")) {
        return true;
    }
    for (std::string_view known : kNames) {
        if (EqualsIgnoreCase(name, known)) {
            return true;
        }
    }
    return false;
}

// The property name at the start of a line, for messages.
std::string NameAtStart(std::string_view line) {
    std::string_view name = TrimBlanks(line.substr(0, line.find_first_of(";:")));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos) {
        name.remove_prefix(dot + 1);
    }
    return name.empty() ? std::string("a property") : ToUpperAscii(name.substr(0, 64));
}

std::string SizeText(std::size_t bytes) {
    return bytes >= (std::size_t{1} << 20) ? std::to_string(bytes >> 20) + " MB"
                                           : std::to_string(bytes) + " bytes";
}

}  // namespace

struct CVCardReader::State {
    State(const CardFn& fn, ReadProblems& out)
        : onCard(fn),
          problems(out),
          maxProperty(g_maxPropertyForTesting != 0 ? g_maxPropertyForTesting : kMaxPropertyBytes) {}

    const CardFn& onCard;
    ReadProblems& problems;
    const std::size_t maxProperty;

    // The encoding, found from the first bytes.
    bool encodingKnown = false;
    std::string head;
    std::optional<fileio::Utf16Decoder> utf16;
    std::string decoded;

    // The physical line being read.
    std::string physical;
    bool physicalTooLong = false;
    char physicalLast = 0;  // its last byte, kept even when it is too long
    bool skipLineFeed = false;
    int lineCount = 0;

    // The logical (unfolded) line being assembled.
    bool pending = false;
    std::string logical;
    int logicalLine = 0;
    bool logicalTooLong = false;
    int quotedPrintable = -1;  // -1: not looked at yet

    // The card being read.
    bool inCard = false;
    Card card;
    std::size_t cardBytes = 0;
    std::string refusal;  // why the card will be skipped, when it will

    void Feed(std::string_view bytes) {
        if (!encodingKnown) {
            head.append(bytes);
            if (head.size() < 4) {
                return;
            }
            DecideEncoding();
            return;
        }
        if (utf16) {
            decoded.clear();
            utf16->Feed(bytes, decoded);
            Text(decoded);
        } else {
            Text(bytes);
        }
    }

    void Finish() {
        if (!encodingKnown) {
            DecideEncoding();
        }
        if (utf16) {
            decoded.clear();
            utf16->Finish(decoded);
            Text(decoded);
        }
        if (!physical.empty() || physicalTooLong) {
            EndPhysicalLine();
        }
        FlushLogical();
        if (inCard) {
            problems.skippedCards.push_back({card.line, "no END:VCARD"});
            inCard = false;
        }
    }

    void DecideEncoding() {
        encodingKnown = true;
        std::string start = std::move(head);
        std::string_view bytes(start);
        auto startsWith = [&](std::string_view prefix) { return bytes.substr(0, 2) == prefix; };
        if (startsWith("\xFF\xFE")) {
            utf16.emplace(false);
            bytes.remove_prefix(2);
        } else if (startsWith("\xFE\xFF")) {
            utf16.emplace(true);
            bytes.remove_prefix(2);
        } else if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) {
            utf16.emplace(false);  // UTF-16 without a byte-order mark
        } else if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] != 0) {
            utf16.emplace(true);
        } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
            bytes.remove_prefix(3);
        }
        Feed(bytes);
    }

    // Cuts text into physical lines.
    void Text(std::string_view text) {
        std::size_t pos = 0;
        if (skipLineFeed && !text.empty()) {
            skipLineFeed = false;
            if (text[0] == '\n') {
                pos = 1;
            }
        }
        while (pos < text.size()) {
            // The next line end: a line feed, or a carriage return before it.
            const void* found = std::memchr(text.data() + pos, '\n', text.size() - pos);
            std::size_t end =
                found != nullptr
                    ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data())
                    : text.size();
            if (const void* cr = std::memchr(text.data() + pos, '\r', end - pos)) {
                end = static_cast<std::size_t>(static_cast<const char*>(cr) - text.data());
            }
            const std::size_t stop = end;
            if (end == text.size()) {
                end = std::string_view::npos;
            }
            AppendPhysical(text.substr(pos, stop - pos));
            if (end == std::string_view::npos) {
                return;
            }
            pos = end + 1;
            if (text[end] == '\r') {
                if (pos < text.size()) {
                    if (text[pos] == '\n') {
                        ++pos;
                    }
                } else {
                    skipLineFeed = true;
                }
            }
            EndPhysicalLine();
        }
    }

    void AppendPhysical(std::string_view piece) {
        if (piece.empty()) {
            return;
        }
        physicalLast = piece.back();
        if (physicalTooLong) {
            return;
        }
        if (physical.size() + piece.size() > maxProperty + 1) {
            physical.append(piece.substr(0, 64));
            physicalTooLong = true;
            return;
        }
        physical.append(piece);
    }

    void EndPhysicalLine() {
        ++lineCount;
        PhysicalLine();
        physical.clear();
        physicalTooLong = false;
        physicalLast = 0;
    }

    // Joins quoted-printable soft line breaks (the next line, blanks
    // included, continues the value) and folded lines.
    void PhysicalLine() {
        if (pending && !logical.empty() && logical.back() == '=' && !IsEnd(physical) &&
            !StartsProperty(physical) && PendingIsQuotedPrintable()) {
            logical.pop_back();
            AppendLogical(physical, physicalTooLong);
            return;
        }
        if (pending && !physical.empty() && (physical[0] == ' ' || physical[0] == '\t')) {
            AppendLogical(std::string_view(physical).substr(1), physicalTooLong);
            return;
        }
        FlushLogical();
        pending = true;
        logical.swap(physical);  // `physical` is emptied next
        logicalLine = lineCount;
        logicalTooLong = physicalTooLong;
        quotedPrintable = -1;
        if (logicalTooLong) {
            KeepLastByte();
        }
    }

    bool PendingIsQuotedPrintable() {
        if (quotedPrintable < 0) {
            quotedPrintable = AsksQuotedPrintable(logical) ? 1 : 0;
        }
        return quotedPrintable == 1;
    }

    void AppendLogical(std::string_view piece, bool pieceTooLong) {
        if (logicalTooLong) {
            KeepLastByte();
            return;
        }
        if (pieceTooLong || logical.size() + piece.size() > maxProperty) {
            PendingIsQuotedPrintable();  // decided while the header is at hand
            logicalTooLong = true;
            logical.resize(std::min<std::size_t>(logical.size(), 64));
            KeepLastByte();
            return;
        }
        logical.append(piece);
    }

    // A line too long to keep holds its start (for the property's name) and
    // its last byte (for a soft line break).
    void KeepLastByte() {
        if (logical.size() > 64) {
            logical.resize(64);
        }
        if (physicalLast != 0) {
            logical += physicalLast;
        }
    }

    void FlushLogical() {
        if (!pending) {
            return;
        }
        pending = false;
        LogicalLine(logical, logicalLine, logicalTooLong);
        logical.clear();
        if (logical.capacity() > (std::size_t{1} << 20)) {
            logical.shrink_to_fit();  // a huge line gives its memory back
        }
    }

    void LogicalLine(std::string_view text, int line, bool tooLong) {
        if (!inCard) {
            if (IsBegin(text)) {
                StartCard(line);
            } else if (!TrimBlanks(text).empty()) {
                ++problems.linesOutsideCards;
            }
            return;
        }
        if (IsBegin(text)) {
            problems.skippedCards.push_back({card.line, "no END:VCARD"});
            StartCard(line);
            return;
        }
        if (IsEnd(text)) {
            EndCard();
            return;
        }
        if (TrimBlanks(text).empty()) {
            return;
        }
        if (tooLong) {
            problems.skippedLines.push_back(
                {line, NameAtStart(text) + " longer than " + SizeText(maxProperty)});
            return;
        }
        if (!refusal.empty()) {
            return;
        }
        Property property;
        if (!ParseContentLine(text, property)) {
            problems.skippedLines.push_back({line, "no colon"});
            return;
        }
        DecodeTransport(property);
        property.line = line;
        cardBytes += text.size();
        if (card.properties.size() >= kMaxCardProperties) {
            Refuse("more than " + std::to_string(kMaxCardProperties) + " properties");
            return;
        }
        if (cardBytes > kMaxCardBytes) {
            Refuse("larger than " + SizeText(kMaxCardBytes));
            return;
        }
        if (property.Is("VERSION") && card.version.empty()) {
            card.version = TrimBlanks(property.value);
        }
        card.properties.push_back(std::move(property));
    }

    void StartCard(int line) {
        inCard = true;
        card = Card{};
        card.line = line;
        cardBytes = 0;
        refusal.clear();
    }

    void Refuse(std::string reason) {
        refusal = std::move(reason);
        card.properties.clear();
        card.properties.shrink_to_fit();
    }

    void EndCard() {
        inCard = false;
        if (!refusal.empty()) {
            problems.skippedCards.push_back({card.line, refusal});
            return;
        }
        onCard(card);
        card = Card{};
    }
};

CVCardReader::CVCardReader() = default;
CVCardReader::~CVCardReader() = default;

void CVCardReader::SetBlockSizeForTesting(std::size_t bytes) {
    g_blockSizeForTesting = bytes;
}

void CVCardReader::SetMaxPropertyBytesForTesting(std::size_t bytes) {
    g_maxPropertyForTesting = bytes;
}

void CVCardReader::ReadBytes(std::string_view bytes, const CardFn& onCard) {
    m_problems = ReadProblems{};
    m_strError.clear();
    m_nErrno = 0;
    State state(onCard, m_problems);
    state.Feed(bytes);
    state.Finish();
}

bool CVCardReader::ReadFile(const std::string& path, const CardFn& onCard,
                            const ProgressFn& onProgress) {
    m_problems = ReadProblems{};
    m_strError.clear();
    m_nErrno = 0;
    auto fail = [this](int err) {
        m_nErrno = err;
        m_strError = std::strerror(err);
        return false;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return fail(errno);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        return fail(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return fail(EISDIR);
    }
    const std::size_t block = g_blockSizeForTesting != 0 ? g_blockSizeForTesting : kReadBlock;
    std::unique_ptr<char[]> buffer(new char[block]);
    State state(onCard, m_problems);
    const auto total = static_cast<std::uint64_t>(st.st_size);
    std::uint64_t done = 0;
    for (;;) {
        const ssize_t n = fileio::ReadSome(fd, buffer.get(), block);
        if (n < 0) {
            const int err = errno;
            state.Finish();
            return fail(err);
        }
        if (n == 0) {
            break;
        }
        state.Feed(std::string_view(buffer.get(), static_cast<std::size_t>(n)));
        done += static_cast<std::uint64_t>(n);
        if (onProgress) {
            onProgress(done, std::max(done, total));
        }
    }
    state.Finish();
    return true;
}

}  // namespace addressbook::vcard
