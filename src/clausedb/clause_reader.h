// The clause reader's inside: the state of one read, the token source for the
// parser, and the term builders used by the grammar's actions (not part of
// the library's interface).
//
// The input is either text already in memory or an open file read in blocks
// through a buffer that is refilled (and grown for a token longer than it).
// Because the buffer moves, every token's text is copied into the store as
// soon as the token is scanned: words interned, strings cooked, integers as
// they are.  Semantic values hold only store offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "clausedb/clause_scanner.h"
#include "clausedb/expr_database.h"
#include "clausedb/expr_store_impl.h"
#include "clausedb/parse_errors.h"
#include "fileio/utf8_check.h"

namespace clausedb {

// Semantic value of every grammar symbol.
struct ClauseValue {
    std::uint32_t term;  // built term, 0 for none
    std::uint32_t text;  // words, strings and integers: offset of the token's text
};

// A RecordConsumer made ready for reading (see ReadRecordCommand).
struct RecordShape {
    RecordShape(const RecordConsumer& consumer, InputLineEnd ending);

    // The index of the name `text`, or -1.
    int Find(std::string_view text) const;

    const RecordConsumer& consumer;
    // For each name, the bytes that the writer puts before the value of its
    // pair when the value is a string: the name as the writer writes the
    // word, " = " and the opening quote.  Empty where that text would not
    // scan as those tokens (a name holding a quote or a line break).
    std::vector<std::string> prefixes;
    // The same with the separator that the writer puts before every pair but
    // the first (a comma, a line end and two blanks) in front.
    std::vector<std::string> following;
    // The command being read: the texts by name, and the texts that had to
    // be cooked (escapes, CR LF), by name index and place in `cookedBytes`.
    std::vector<std::string_view> texts;
    struct Cooked {
        int name;
        std::size_t at;
        std::size_t size;
    };
    std::vector<Cooked> cooked;
    std::string cookedBytes;
};

// Everything one read needs; nothing of it is process-wide.
struct ReaderState {
    CExprDatabase* db = nullptr;
    CExprStore* store = nullptr;
    CExprStore::Impl* cells = nullptr;
    const char* p = nullptr;    // next byte to scan
    const char* end = nullptr;  // end of the bytes at hand
    InputLineEnd ending = InputLineEnd::Lf;
    int line = 1;         // line of p
    int tokenLine = 1;    // line where the last token began
    std::string scratch;  // texts that need cooking
    // Streaming reads: the consumer of completed clauses (null: keep every
    // clause), and the store's state when the previous command ended.
    const ClauseConsumer* consumer = nullptr;
    StoreMark mark;
    // Commands of the shape of records go to their consumer (null: none).
    RecordShape* records = nullptr;
    // Where this read's syntax errors go (null: they are only counted).
    ParseErrors* errors = nullptr;
    // Commands of the usual shape are read without the parser (see
    // ReadPlainCommands) where it waits for a new command with no token read
    // ahead and is not recovering from an error.
    bool atCommand = true;
    bool plainCommands = true;  // off once they fail too often
    int plainFailures = 0;
    int plainSuccesses = 0;
    // Word prediction (see NextToken): the previous word, and by a hash of a
    // word the word that followed it last time.
    std::uint32_t lastWord = 0;
    std::uint32_t followingWord[256] = {};

    // Reading a file: its descriptor, the buffer and whether input remains.
    int fd = -1;
    bool more = false;
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    int readErrno = 0;  // set when a read failed
    // Reading part of a file: where the next read starts and the part ends.
    bool part = false;
    std::uint64_t offset = 0;
    std::uint64_t partEnd = 0;
    // Checks the bytes as they are read (null: no check).  The read ends at
    // the first block that is not UTF-8.
    fileio::Utf8StreamCheck* utf8 = nullptr;
};

// Parses the whole input, appending each completed clause to the database and
// counting errors in it; each error also goes to targets.errors when given.
// 0 when the end was reached normally, 1 when the parse gave up (end of input
// while recovering, nesting too deep, or memory).  With a consumer, each
// completed clause goes to it first (see ClauseConsumer); with a record
// consumer, records go to it instead (see RecordConsumer).
int ParseClauses(CExprDatabase& db, std::string_view text, InputLineEnd ending,
                 const ReadTargets& targets = {});
// The same from an open file, read from its current position to its end.
// `readErrno` is set when reading failed part-way (the parse then stops as
// at the end of the input).
int ParseClauseStream(CExprDatabase& db, int fd, InputLineEnd ending, int& readErrno,
                      const ReadTargets& targets = {});
// The same from a part of an open file (read with pread, CR LF as LF), whose
// bytes are checked to be UTF-8 on the way (see FilePartResult).
int ParseFilePart(CExprDatabase& db, const FilePart& part, int& readErrno,
                  const ReadTargets& targets, FilePartResult& result);
// Test seam: the first buffer size of ParseClauseStream (0: the normal size).
void SetStreamBufferSizeForTesting(std::size_t bytes);
// Test seam: false makes the parser read every command (no ReadPlainCommands).
void SetPlainCommandsForTesting(bool on);

// Records the error with the line of the last token in the read's errors, if
// any, and counts it in the database being read.
void ReportSyntaxError(ReaderState& st, const char* message);

// Decimal text (optional sign) to 32 bits, saturating at the limits.
std::int32_t ParseInteger(std::string_view text);
// A real from the digit runs of the grammar: whole "." fraction "e" exponent,
// where `fraction` and `exponent` may be absent (null).  Correctly rounded to
// 32 bits; out of range gives infinity or zero.
float ComposeReal(std::string_view whole, const std::string_view* fraction,
                  const std::string_view* exponent);

// Moves the unscanned bytes from `st.p` on to the front of the buffer (growing
// it when they fill it) and reads more after them.
void Refill(ReaderState& st);

// The next token for the parser; blanks, line ends and comments are skipped
// and counted.  A comment left open at the end of the input comes back as
// TokOther, which no rule accepts: a syntax error.
int NextToken(ReaderState& st, ClauseValue& value);

// ---- term builders for the grammar's actions

inline std::uint32_t MakeWord(ReaderState& st, const ClauseValue& token) {
    return st.cells->NewCell(ExprWord, token.text);
}

inline std::uint32_t MakeString(ReaderState& st, const ClauseValue& token) {
    return st.cells->NewCell(ExprString, token.text);
}

inline std::uint32_t MakeInteger(ReaderState& st, const ClauseValue& token) {
    return st.cells->NewCell(ExprInteger,
                             static_cast<std::uint32_t>(ParseInteger(st.cells->Text(token.text))));
}

std::uint32_t MakeReal(ReaderState& st, const ClauseValue& whole, const ClauseValue* fraction,
                       const ClauseValue* exponent);

// The attribute pair [word "=", word name, value].
inline std::uint32_t MakePair(ReaderState& st, const ClauseValue& name, std::uint32_t value) {
    CExprStore::Impl& c = *st.cells;
    std::uint32_t pair = c.NewList();
    c.Append(pair, c.NewCell(ExprWord, c.EqualsWord()));
    c.Append(pair, MakeWord(st, name));
    c.Append(pair, value);
    return pair;
}

inline std::uint32_t MakeList(ReaderState& st) {
    return st.cells->NewList();
}

inline std::uint32_t ListOf(ReaderState& st, std::uint32_t element) {
    std::uint32_t list = st.cells->NewList();
    st.cells->Append(list, element);
    return list;
}

inline void AppendTerm(ReaderState& st, std::uint32_t list, std::uint32_t element) {
    st.cells->Append(list, element);
}

// The clause F(args): the functor word in front of the argument list, or a
// list of the word alone when there are no arguments.
inline std::uint32_t MakeCompound(ReaderState& st, const ClauseValue& functor,
                                  std::uint32_t arguments) {
    std::uint32_t word = MakeWord(st, functor);
    if (arguments == 0) {
        return ListOf(st, word);
    }
    st.cells->Push(arguments, word);
    return arguments;
}

// A command is complete: its clause goes to the consumer, if any, and is
// appended to the database or rewound.  `lookahead` is the token the parser
// has already read beyond the command, if any; its text is kept out of the
// rewound part of the store.  `recovering`: the parser is still recovering
// from a syntax error.
void FinishCommand(ReaderState& st, std::uint32_t term, ClauseValue* lookahead,
                   bool recovering = false);
// A failed command ended at its full stop; its remains are rewound when
// reading with a consumer.
void FinishFailedCommand(ReaderState& st, ClauseValue* lookahead, bool recovering);

// How an attempt to read one command of a usual shape ended.
enum class Plain {
    Read,   // a command was read
    Other,  // the input holds something else
    More,   // the command goes on past the bytes at hand
    End,    // the input ends
};

// One command of the shape of a record (see RecordConsumer), handed to the
// record consumer.  Leaves the input and the store as they were unless it
// returns Read.
Plain ReadRecordCommand(ReaderState& st);

// Where the parser waits for a new command: reads the commands that follow,
// as long as they have the usual shape of a book's clauses (a word, then
// arguments in parentheses that are attribute pairs, words or strings with
// word or string values, then a full stop), building the same terms the
// parser builds and finishing each as it does; records go to the record
// consumer instead, without terms.  Stops, leaving the input
// where it was, at the first command of any other shape (or with an error),
// which the parser then reads.  Returns the number of commands read.
int ReadPlainCommands(ReaderState& st);

// Gives back the terms of a command dropped by error recovery.
inline void DropTerm(ReaderState& st, std::uint32_t term) {
    if (term != 0) {
        st.store->Free(CExprTerm(st.store, term));
    }
}

}  // namespace clausedb
