// CExprDatabase: an ordered, owning collection of clauses that can be read
// from and written to a clause file.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

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

// Streaming writes: each call builds the next clause in the database's
// Store() and returns it (without adding it to the database), or returns no
// term when there are no more.
using ClauseSource = std::function<CExprTerm()>;

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
    // The same from clause text already in memory, taken as it is (no
    // decoding, no CR LF conversion).
    bool ReadText(std::string_view text, const ClauseConsumer& consumer = nullptr,
                  ParseErrors* errors = nullptr);
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
    // Writes every clause with bare LF to `out`; false when the stream fails.
    bool WriteToStream(std::ostream& out);
    // Appends the text of every clause, with the given line ends.
    void WriteToString(std::string& out, LineEnd ending = LineEnd::Lf) const;

    int ErrorCount() const { return m_nErrorCount; }
    // When ReadFile or WriteFile failed on the file: the system's reason.
    const std::string& LastFileError() const { return m_strFileError; }
    int LastFileErrno() const { return m_nFileErrno; }

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
