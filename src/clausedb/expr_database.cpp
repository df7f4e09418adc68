#include "clausedb/expr_database.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>

#include "clausedb/clause_reader.h"
#include "clausedb/expr_store_impl.h"
#include "fileio/atomic_file.h"
#include "fileio/file_reading.h"
#include "fileio/text_encoding.h"

namespace clausedb {
namespace {

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

}  // namespace

const CRuntimeClass CExprDatabase::classCExprDatabase = {"CExprDatabase", &wxList::classwxList};
const CRuntimeClass* CExprDatabase::GetRuntimeClass() const {
    return &classCExprDatabase;
}

CExprDatabase::CExprDatabase() : wxList(wxKEY_NONE) {}

CExprDatabase::~CExprDatabase() {
    RemoveAllClauses();
}

void CExprDatabase::AddClause(CExprTerm clause) {
    if (clause.Store() != &m_store || !clause.IsValid()) {
        return;
    }
    // Nodes carry the clause's index in the store; the list never deletes
    // its data (the destroy-data flag stays off).
    AddLast(reinterpret_cast<void*>(static_cast<std::uintptr_t>(clause.Index())));
}

CExprTerm CExprDatabase::ClauseOf(const wxNode* node) const {
    auto index = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(node->Data()));
    return CExprTerm(const_cast<CExprStore*>(&m_store), index);
}

void CExprDatabase::RemoveAllClauses() {
    m_nErrorCount = 0;
    // Every clause lives in the store, which is emptied at once below; that
    // releases each clause and its elements without walking them.
    while (First() != nullptr) {
        delete First();
    }
    m_store.Clear();
}

int CExprDatabase::CountClauses() const {
    return CountNodes();
}

bool CExprDatabase::ReadFile(const std::string& path, const ClauseConsumer& consumer,
                             ParseErrors* errors) {
    return ReadFile(path, ReadTargets{consumer, {}, errors});
}

bool CExprDatabase::ReadFile(const std::string& path, const ReadTargets& targets) {
    m_nErrorCount = 0;
    auto fail = [&](int err) {
        m_nFileErrno = err;
        m_strFileError = std::strerror(err);
        return false;
    };
    bool regular = false;
    int err = 0;
    const int fd = fileio::OpenForReading(path, regular, err);
    if (fd < 0) {
        return fail(err);
    }
    FileCloser closer{fd};
    m_strFileError.clear();
    m_nFileErrno = 0;

    // Plain UTF-8 (the usual case) is parsed straight from the file through
    // a small buffer; anything else is read whole and decoded first.
    fileio::TextEncoding encoding = fileio::TextEncoding::kOther;
    if (regular && !fileio::ScanTextEncoding(fd, encoding, err)) {
        return fail(err);
    }
    if (encoding == fileio::TextEncoding::kOther) {
        std::string text;
        if (regular && lseek(fd, 0, SEEK_SET) < 0) {
            return fail(errno);
        }
        if (!fileio::ReadToEnd(fd, text, err)) {
            return fail(err);
        }
        fileio::DecodeToUtf8(text);
        // The scanner takes each carriage return plus line feed as a line
        // feed, which saves a pass over the whole text.
        ParseClauses(*this, text, InputLineEnd::CrLf, targets);
        return m_nErrorCount == 0;
    }
    if (lseek(fd, encoding == fileio::TextEncoding::kUtf8Bom ? 3 : 0, SEEK_SET) < 0) {
        return fail(errno);
    }
    ParseClauseStream(*this, fd, InputLineEnd::CrLf, err, targets);
    if (err != 0) {
        ++m_nErrorCount;
        fail(err);
    }
    return m_nErrorCount == 0;
}

bool CExprDatabase::ReadText(std::string_view text, const ClauseConsumer& consumer,
                             ParseErrors* errors) {
    return ReadText(text, ReadTargets{consumer, {}, errors});
}

bool CExprDatabase::ReadText(std::string_view text, const ReadTargets& targets) {
    m_nErrorCount = 0;
    ParseClauses(*this, text, InputLineEnd::Lf, targets);
    return m_nErrorCount == 0;
}

bool CExprDatabase::ReadFilePart(const FilePart& part, const ReadTargets& targets,
                                 FilePartResult& result) {
    m_nErrorCount = 0;
    ClearFileError();
    int err = 0;
    ParseFilePart(*this, part, err, targets, result);
    if (err != 0) {
        ++m_nErrorCount;
        m_nFileErrno = err;
        m_strFileError = std::strerror(err);
    }
    return m_nErrorCount == 0 && result.utf8;
}

void CExprDatabase::WriteToString(std::string& out, LineEnd ending) const {
    ClauseWriter writer(
        ExprStoreAccess::Of(const_cast<CExprStore&>(m_store)),
        [&out](std::string_view text) { out.append(text); }, ending);
    for (wxNode* node = First(); node != nullptr; node = node->Next()) {
        writer.Clause(ClauseOf(node).Index());
    }
}

bool CExprDatabase::WriteToStream(std::ostream& out) {
    m_nErrorCount = 0;
    {
        ClauseWriter writer(
            ExprStoreAccess::Of(m_store),
            [&out](std::string_view text) {
                out.write(text.data(), static_cast<std::streamsize>(text.size()));
            },
            LineEnd::Lf);
        for (wxNode* node = First(); node != nullptr && out; node = node->Next()) {
            writer.Clause(ClauseOf(node).Index());
        }
    }
    out.flush();
    if (!out) {
        ++m_nErrorCount;
    }
    return m_nErrorCount == 0;
}

bool CExprDatabase::WriteFile(const std::string& path) {
    wxNode* node = First();
    return WriteFile(path, [this, &node]() {
        if (node == nullptr) {
            return CExprTerm();
        }
        CExprTerm clause = ClauseOf(node);
        node = node->Next();
        return clause;
    });
}

void CClauseSink::Clause(CExprTerm clause) {
    if (clause.Store() == &m_store) {
        m_writer.Clause(clause.Index());
    }
}

void CClauseSink::Record(std::string_view functor, const CAttributeNames& names,
                         const std::string_view* values, std::span<const CExprTerm> extra) {
    m_extra.clear();
    for (const CExprTerm term : extra) {
        if (term.Store() == &m_store && term.IsValid()) {
            m_extra.push_back(term.Index());
        }
    }
    m_writer.Record(functor, names, values, m_extra.data(), m_extra.size());
}

bool CExprDatabase::WriteFile(const std::string& path, const ClauseSource& next) {
    return WriteRecords(path, [&next](CClauseSink& sink) {
        const CExprTerm clause = next();
        if (!clause) {
            return false;
        }
        sink.Clause(clause);
        return true;
    });
}

void CExprDatabase::WriteToString(std::string& out, LineEnd ending, const RecordSource& next) {
    ClauseWriter writer(
        ExprStoreAccess::Of(m_store), [&out](std::string_view text) { out.append(text); }, ending);
    CClauseSink sink(writer, m_store);
    const StoreMark mark = m_store.Mark();
    while (next(sink)) {
        m_store.Rewind(mark);
    }
    m_store.Rewind(mark);
}

bool CExprDatabase::WriteRecords(const std::string& path, const RecordSource& next,
                                 const std::function<bool()>& keep) {
    m_nErrorCount = 0;
    fileio::AtomicFileWriter writer;
    bool ok = writer.Open(path);
    {
        ClauseWriter clauses(
            ExprStoreAccess::Of(m_store),
            [&](std::string_view text) { ok = ok && writer.Write(text); }, LineEnd::CrLf);
        CClauseSink sink(clauses, m_store);
        // Clauses of the database's own were made before the mark and stay;
        // whatever a call builds is given back.
        const StoreMark mark = m_store.Mark();
        while (ok) {
            const bool more = next(sink);
            m_store.Rewind(mark);
            if (!more) {
                break;
            }
        }
    }
    if (ok && keep && !keep()) {
        writer.Discard();
        m_strFileError.clear();
        m_nFileErrno = 0;
        return false;
    }
    ok = ok && writer.Commit();
    if (!ok) {
        writer.Discard();
        ++m_nErrorCount;
        m_strFileError = writer.ErrorText();
        m_nFileErrno = writer.ErrorNumber();
        return false;
    }
    m_strFileError.clear();
    m_nFileErrno = 0;
    return true;
}

}  // namespace clausedb
