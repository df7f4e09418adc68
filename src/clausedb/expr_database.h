// CExprDatabase: an ordered, owning collection of clauses that can be read
// from and written to a clause file.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "clausedb/attribute_names.h"
#include "clausedb/expr_term.h"
#include "clausedb/parse_errors.h"
#include "clausedb/wx_list.h"

namespace clausedb {

// Streaming reads: called with each clause as soon as the reader has
// completed it (in file order, before the next one is read).  Returns true
// to keep the clause in the database, false to drop it.  A dropped clause is
// given back to the store at once, with everything else made in the store
// since the previous command ended (the texts of its tokens, and the partial
// terms of a command that failed); its handle is valid only during the call.
// Terms the consumer makes in Store() during the call are given back with it.
using ClauseConsumer = std::function<bool(CExprTerm clause)>;

// Reading records: a command of the shape
//     functor(name = "text", ..., name = "text").
// whose names are all among `names`, none of them twice, and whose values are
// all strings (the shape in which a book's contact clauses are written) is
// handed to `take` as its functor and its texts, without building its
// clause: texts[i] is the text of names->Name(i), empty for a name the
// command does not hold.  That is what a consumer would read from the clause
// with CAttributeNames::GetTexts, which would also find nothing else in it.
// The database does not keep such a command, as if a consumer had dropped
// it; commands of any other shape are read as clauses.  The views are valid
// only during the call.  At most 64 names.
struct RecordConsumer {
    const CAttributeNames* names = nullptr;
    std::function<void(std::string_view functor, const std::string_view* texts)> take;

    explicit operator bool() const { return names != nullptr && names->Size() <= 64 && take; }
};

// What a read hands on, and where its errors go; each may be left empty.
struct ReadTargets {
    ClauseConsumer consumer;
    RecordConsumer records;
    ParseErrors* errors = nullptr;
};

// The bytes [begin, end) of an open clause file (the file after its
// byte-order mark, say).  `firstLine` is the line number of the byte at
// `begin`.
struct FilePart {
    int fd = -1;
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    int firstLine = 1;
};

// What reading a FilePart found out besides its clauses and errors.
struct FilePartResult {
    // False when the part's bytes are not UTF-8; the read then stopped
    // there and its results mean nothing (the file must be decoded first).
    bool utf8 = true;
    // Line feeds read (carriage return plus line feed counts once).
    int lineFeeds = 0;
};

// Streaming writes: each call builds the next clause in the database's
// Store() and returns it (without adding it to the database), or returns no
// term when there are no more.
using ClauseSource = std::function<CExprTerm()>;

class ClauseWriter;

// Where a streaming write of records puts its clauses (see RecordSource).
class CClauseSink {
public:
    // Writes `clause`, made in the database's Store(); a term of another
    // store, or no term, writes nothing.
    void Clause(CExprTerm clause);
    // Writes the clause that NewClause(functor), then
    // names.AddStringAttributes(clause, values), then appending each of
    // `extra` (terms made in the database's Store()) would build, byte for
    // byte as Clause() would write that clause; only the extra terms are
    // built.  `values` holds names.Size() texts.  Terms of another store are
    // left out of `extra`, as AddElement would leave them out.  The texts
    // made from `functor` and `names` are kept for the next record, so
    // `names` must outlive the write.
    void Record(std::string_view functor, const CAttributeNames& names,
                const std::string_view* values, std::span<const CExprTerm> extra = {});

private:
    friend class CExprDatabase;
    CClauseSink(ClauseWriter& writer, const CExprStore& store) : m_writer(writer), m_store(store) {}

    ClauseWriter& m_writer;
    const CExprStore& m_store;
    std::vector<std::uint32_t> m_extra;  // scratch of Record
};

// Streaming writes of records: each call writes the next clause to the sink,
// building in the database's Store() only what it must, and returns true, or
// returns false (writing nothing) when there are no more.
using RecordSource = std::function<bool(CClauseSink& sink)>;

class CExprDatabase : public wxList {
public:
    CExprDatabase();
    ~CExprDatabase() override;

    const CRuntimeClass* GetRuntimeClass() const override;
    static const CRuntimeClass classCExprDatabase;

    // Clauses are built in the database's own store.
    CExprStore& Store() { return m_store; }
    CExprTerm NewClause(std::string_view functor) { return m_store.NewClause(functor); }

    // Appends a clause made in Store(); the database owns it from then on.
    // A term of another store, or no term, is not added.
    void AddClause(CExprTerm clause);
    // Destroys every clause; error count back to 0.  The store is emptied
    // too, so its memory returns and terms made in Store() but never added
    // become invalid.
    void RemoveAllClauses();
    int CountClauses() const;

    // Reads a clause file (UTF-8, or Windows-1252 converted to UTF-8; CR LF
    // read as LF), appending each completed clause.  True exactly when the
    // file was opened and read without a syntax error.  Syntax errors are
    // counted (ErrorCount()) and, when `errors` is given, added to it with
    // their lines; nothing else hears of them.
    //
    // With a consumer, each completed clause is handed to it first and
    // appended only when it returns true; every dropped clause is rewound at
    // once, so a consumer that drops every clause reads a book of any size
    // with one clause in the store at a time.  The errors (with their lines)
    // and the result are the same with or without a consumer.
    bool ReadFile(const std::string& path, const ClauseConsumer& consumer = nullptr,
                  ParseErrors* errors = nullptr);
    bool ReadFile(const std::string& path, const ReadTargets& targets);
    // The same from clause text already in memory, taken as it is (no
    // decoding, no CR LF conversion).
    bool ReadText(std::string_view text, const ClauseConsumer& consumer = nullptr,
                  ParseErrors* errors = nullptr);
    bool ReadText(std::string_view text, const ReadTargets& targets);
    // Reads a part of a clause file as plain UTF-8 (CR LF read as LF; the
    // file position is left alone), appending each completed clause as
    // ReadFile does.  True exactly when it read without a syntax error, a
    // read error or a byte that is not UTF-8.
    bool ReadFilePart(const FilePart& part, const ReadTargets& targets, FilePartResult& result);
    // Writes every clause, LF written as CR LF, replacing `path` safely: on
    // any failure (a full disk included) the old file stays as it was, the
    // result is false and LastFileError() says why.
    bool WriteFile(const std::string& path);
    // Streaming write: writes, instead of the database's own clauses, the
    // clauses that `next` builds one by one.  Each is written as soon as it
    // is built and then rewound, so one clause lives in the store at a time.
    // Same bytes, same safety and the same error reporting as
    // WriteFile(path); the database's own clauses stay as they are.
    bool WriteFile(const std::string& path, const ClauseSource& next);
    // Streaming write of records: as WriteFile(path, next) above, with the
    // clauses that `next` writes to its sink.  Whatever a call builds in
    // Store() is given back after it.  With `keep`, asked once the last
    // record is written: false discards the new file (the old one stays as
    // it was) and the result is false with no file error.
    bool WriteRecords(const std::string& path, const RecordSource& next,
                      const std::function<bool()>& keep = nullptr);
    // Writes every clause with bare LF to `out`; false when the stream fails.
    bool WriteToStream(std::ostream& out);
    // Appends the text of every clause, with the given line ends.
    void WriteToString(std::string& out, LineEnd ending = LineEnd::Lf) const;
    // Appends the text of the clauses that `next` writes (as WriteRecords).
    void WriteToString(std::string& out, LineEnd ending, const RecordSource& next);

    int ErrorCount() const { return m_nErrorCount; }
    // When ReadFile or WriteFile failed on the file: the system's reason.
    const std::string& LastFileError() const { return m_strFileError; }
    int LastFileErrno() const { return m_nFileErrno; }
    // Forgets the last file error (a new read starts).
    void ClearFileError() {
        m_strFileError.clear();
        m_nFileErrno = 0;
    }

    // Walks the clauses in order.
    template <typename Fn>
    void ForEachClause(Fn&& fn) const {
        for (wxNode* node = First(); node != nullptr; node = node->Next()) {
            fn(ClauseOf(node));
        }
    }
    CExprTerm ClauseOf(const wxNode* node) const;

    // Used by the reader.
    void CountError() { ++m_nErrorCount; }

private:
    CExprStore m_store;
    int m_nErrorCount = 0;
    std::string m_strFileError;
    int m_nFileErrno = 0;
};

}  // namespace clausedb
