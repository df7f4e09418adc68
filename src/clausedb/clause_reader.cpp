#include "clausedb/clause_reader.h"

#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>

#include "clause_parser.h"  // generated from clause_parser.y
#include "fileio/file_reading.h"

namespace clausedb {

void ReportSyntaxError(ReaderState& st, const char* message) {
    if (st.errors != nullptr) {
        st.errors->Add(st.tokenLine, message);
    }
    st.db->CountError();
}

std::int32_t ParseInteger(std::string_view text) {
    bool negative = false;
    std::size_t i = 0;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        i = 1;
    }
    constexpr std::int64_t kCap = std::int64_t{1} << 32;  // beyond either limit
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kCap) {
            value = kCap;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

float ComposeReal(std::string_view whole, const std::string_view* fraction,
                  const std::string_view* exponent) {
    bool negative = false;
    if (!whole.empty() && (whole[0] == '-' || whole[0] == '+')) {
        negative = whole[0] == '-';
        whole.remove_prefix(1);
    }
    // A fraction token with its own sign ("1.-5") ends the number at the
    // point, as a C conversion of the text "1.-5" does.
    std::string_view digits;
    if (fraction != nullptr && !fraction->empty() && (*fraction)[0] != '-' &&
        (*fraction)[0] != '+') {
        digits = *fraction;
    }
    std::int64_t power = exponent != nullptr ? ParseInteger(*exponent) : 0;

    std::string text;
    text.reserve(whole.size() + digits.size() + 16);
    text.append(whole);
    if (!digits.empty()) {
        text += '.';
        text.append(digits);
    }
    text += 'e';
    text += std::to_string(power);

    float value = 0.0f;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the range of a float: infinity when the leading digit's
        // power of ten is positive, zero otherwise.
        std::int64_t lead = 0;
        std::size_t k = whole.find_first_not_of('0');
        if (k != std::string_view::npos) {
            lead = static_cast<std::int64_t>(whole.size() - 1 - k);
        } else {
            k = digits.find_first_not_of('0');
            lead = -static_cast<std::int64_t>(k == std::string_view::npos ? 0 : k + 1);
        }
        value = lead + power > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
    } else if (result.ec != std::errc()) {
        value = 0.0f;
    }
    return negative ? -value : value;
}

std::uint32_t MakeReal(ReaderState& st, const ClauseValue& whole, const ClauseValue* fraction,
                       const ClauseValue* exponent) {
    // Texts in the store stay where they are while cells are added.
    std::string_view f = fraction ? st.cells->Text(fraction->text) : std::string_view();
    std::string_view e = exponent ? st.cells->Text(exponent->text) : std::string_view();
    float value =
        ComposeReal(st.cells->Text(whole.text), fraction ? &f : nullptr, exponent ? &e : nullptr);
    return st.cells->NewCell(ExprReal, std::bit_cast<std::uint32_t>(value));
}

namespace {

// Gives back everything made in the store since the previous command ended.
void RewindCommand(ReaderState& st, ClauseValue* lookahead) {
    const bool keepText = lookahead != nullptr && lookahead->text != 0 &&
                          (lookahead->text & CExprStore::Impl::kWordTag) == 0;
    if (!keepText) {
        st.store->Rewind(st.mark);
        return;
    }
    // A string or integer token read ahead: its text lies beyond the mark.
    std::string text(st.cells->Text(lookahead->text));
    st.store->Rewind(st.mark);
    lookahead->text = st.cells->AddText(text);
    st.mark = st.store->Mark();
}

}  // namespace

void FinishCommand(ReaderState& st, std::uint32_t term, ClauseValue* lookahead, bool recovering) {
    st.atCommand = lookahead == nullptr && !recovering;
    const CExprTerm clause(st.store, term);
    if (st.consumer == nullptr) {
        st.db->AddClause(clause);
        return;
    }
    if ((*st.consumer)(clause)) {
        st.db->AddClause(clause);
        st.mark = st.store->Mark();
        return;
    }
    RewindCommand(st, lookahead);
}

void FinishFailedCommand(ReaderState& st, ClauseValue* lookahead, bool recovering) {
    st.atCommand = lookahead == nullptr && !recovering;
    if (st.consumer != nullptr) {
        RewindCommand(st, lookahead);
    }
}

namespace {

constexpr std::size_t kStreamBuffer = std::size_t{1} << 18;
std::size_t g_streamBufferForTesting = 0;
bool g_plainCommands = true;

int RunParser(ReaderState& st) {
    try {
        return qb_clause_parse(&st) == 0 ? 0 : 1;
    } catch (const std::bad_alloc&) {
        ReportSyntaxError(st, "out of memory");
    } catch (const std::length_error&) {
        ReportSyntaxError(st, "input too large");
    }
    return 1;
}

void Begin(ReaderState& st, CExprDatabase& db, InputLineEnd ending, const ReadTargets& targets) {
    st.db = &db;
    st.errors = targets.errors;
    st.store = &db.Store();
    st.cells = &ExprStoreAccess::Of(db.Store());
    st.ending = ending;
    st.plainCommands = g_plainCommands;
    if (targets.consumer) {
        st.consumer = &targets.consumer;
        st.mark = st.store->Mark();
    }
}

// After the parse: what a command left unfinished at the end of the input
// is of no use either.
int End(ReaderState& st, int result) {
    if (st.consumer != nullptr) {
        st.store->Rewind(st.mark);
    }
    return result;
}

// Runs the parse with the record consumer of `targets`, if any.
int Run(ReaderState& st, const ReadTargets& targets) {
    if (!targets.records) {
        return End(st, RunParser(st));
    }
    RecordShape shape(targets.records, st.ending);
    st.records = &shape;
    return End(st, RunParser(st));
}

// A buffer for reading a file block by block.
void MakeBuffer(ReaderState& st) {
    st.more = true;
    st.capacity = g_streamBufferForTesting != 0 ? g_streamBufferForTesting : kStreamBuffer;
    st.buffer.reset(new char[st.capacity]);
    st.p = st.buffer.get();
    st.end = st.p;
}

}  // namespace

void SetStreamBufferSizeForTesting(std::size_t bytes) {
    g_streamBufferForTesting = bytes;
}

void SetPlainCommandsForTesting(bool on) {
    g_plainCommands = on;
}

void Refill(ReaderState& st) {
    std::size_t keep = static_cast<std::size_t>(st.end - st.p);
    if (keep == st.capacity) {
        // One token fills the whole buffer: double it.
        std::size_t capacity = st.capacity * 2;
        std::unique_ptr<char[]> bigger(new char[capacity]);
        std::memcpy(bigger.get(), st.p, keep);
        st.buffer = std::move(bigger);
        st.capacity = capacity;
    } else if (keep > 0) {
        std::memmove(st.buffer.get(), st.p, keep);
    }
    char* base = st.buffer.get();
    ssize_t n;
    if (st.part) {
        const std::uint64_t left = st.partEnd - st.offset;
        n = fileio::ReadSomeAt(st.fd, base + keep,
                               left < st.capacity - keep ? left : st.capacity - keep, st.offset);
        st.offset += n > 0 ? static_cast<std::uint64_t>(n) : 0;
    } else {
        n = fileio::ReadSome(st.fd, base + keep, st.capacity - keep);
    }
    if (n > 0 && st.utf8 != nullptr &&
        !st.utf8->Feed(std::string_view(base + keep, static_cast<std::size_t>(n)))) {
        n = 0;  // not UTF-8: what was read means nothing, so stop here
    }
    if (n <= 0) {
        st.more = false;
        if (n < 0) {
            st.readErrno = errno;
        }
        n = 0;
    }
    st.p = base;
    st.end = base + keep + n;
}

int ParseClauses(CExprDatabase& db, std::string_view text, InputLineEnd ending,
                 const ReadTargets& targets) {
    ReaderState st;
    Begin(st, db, ending, targets);
    st.p = text.data();
    st.end = text.data() + text.size();
    return Run(st, targets);
}

int ParseClauseStream(CExprDatabase& db, int fd, InputLineEnd ending, int& readErrno,
                      const ReadTargets& targets) {
    ReaderState st;
    Begin(st, db, ending, targets);
    st.fd = fd;
    MakeBuffer(st);
    const int result = Run(st, targets);
    readErrno = st.readErrno;
    return result;
}

int ParseFilePart(CExprDatabase& db, const FilePart& part, int& readErrno,
                  const ReadTargets& targets, FilePartResult& result) {
    ReaderState st;
    Begin(st, db, InputLineEnd::CrLf, targets);
    st.fd = part.fd;
    st.part = true;
    st.offset = part.begin;
    st.partEnd = part.end > part.begin ? part.end : part.begin;
    st.line = part.firstLine;
    st.tokenLine = part.firstLine;
    fileio::Utf8StreamCheck utf8;
    st.utf8 = &utf8;
    MakeBuffer(st);
    const int parsed = Run(st, targets);
    // A parse that gave up left the rest of the part unread; it is still
    // checked, so that the result tells whether all of the part is UTF-8.
    while (st.readErrno == 0 && st.offset < st.partEnd && utf8.Valid()) {
        st.p = st.end;
        Refill(st);
        if (st.p == st.end) {
            break;
        }
    }
    readErrno = st.readErrno;
    result.utf8 = utf8.Finish();
    result.lineFeeds = st.line - part.firstLine;
    return parsed;
}

}  // namespace clausedb
