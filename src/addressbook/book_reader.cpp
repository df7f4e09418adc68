#include "addressbook/book_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

#include "fileio/file_reading.h"

namespace addressbook {

using clausedb::CExprDatabase;
using clausedb::CExprTerm;
using clausedb::FilePart;
using clausedb::FilePartResult;
using clausedb::ParseErrors;

namespace {

struct FileCloser {
    int fd;
    ~FileCloser() { ::close(fd); }
};

// After a read the database holds no clause; its store still holds the
// interned words and spare chunks, which go back to the system here (the
// error count stays for the caller).
bool FinishStaging(CExprDatabase& db, bool ok, StagedEntries& staged) {
    db.Store().Clear();
    if (!ok) {
        staged.Clear();
    }
    return ok;
}

// The way of reading that takes any file: the whole file decoded first
// when it is not plain UTF-8.
bool ReadWholeFile(CExprDatabase& db, const std::string& path, StagedEntries& staged,
                   ParseErrors* errors) {
    staged.Clear();
    return FinishStaging(db, db.ReadFile(path, StagingTargets(staged, errors)), staged);
}

}  // namespace

clausedb::ReadTargets StagingTargets(StagedEntries& staged, ParseErrors* errors) {
    clausedb::ReadTargets targets;
    targets.errors = errors;
    targets.consumer = [&staged](CExprTerm clause) {
        ++staged.announcedRows;
        const std::string_view functor = clause.GetFunctor();
        if (functor == kContactFunctor) {
            staged.entries.push_back(EntryFromClause(clause));
        } else if (functor == kLinkFunctor && !staged.link) {
            staged.link = LinkFromClause(clause);  // the first carddav clause
        }
        return false;
    };
    targets.records.names = &FieldAttributes();
    targets.records.take = [&staged](std::string_view functor, const std::string_view* texts) {
        ++staged.announcedRows;
        if (functor == kContactFunctor) {
            std::array<std::string_view, kFieldCount> fields;
            std::copy_n(texts, kFieldCount, fields.begin());
            auto entry = std::make_unique<CAddressEntry>();
            entry->AssignFields(fields);
            staged.entries.push_back(std::move(entry));
        }
    };
    return targets;
}

bool ReadBook(CExprDatabase& db, const std::string& path, StagedEntries& staged,
              ParseErrors* errors) {
    db.RemoveAllClauses();
    staged.Clear();
    bool regular = false;
    int err = 0;
    const int fd = fileio::OpenForReading(path, regular, err);
    if (fd < 0 || !regular) {
        if (fd >= 0) {
            ::close(fd);
        }
        return ReadWholeFile(db, path, staged, errors);  // it reports what is wrong
    }
    FileCloser closer{fd};
    struct stat st {};
    char head[3] = {};
    if (fstat(fd, &st) != 0 || fileio::ReadSomeAt(fd, head, 3, 0) < 0) {
        return ReadWholeFile(db, path, staged, errors);
    }
    const std::string_view mark(head,
                                std::min<std::size_t>(3, static_cast<std::size_t>(st.st_size)));
    if (mark.substr(0, 2) == "\xFF\xFE" || mark.substr(0, 2) == "\xFE\xFF") {
        return ReadWholeFile(db, path, staged, errors);  // UTF-16: decoded first
    }
    const std::uint64_t begin = mark == "\xEF\xBB\xBF" ? 3 : 0;
    FilePartResult result;
    const bool ok = db.ReadFilePart(FilePart{fd, begin, static_cast<std::uint64_t>(st.st_size), 1},
                                    StagingTargets(staged, errors), result);
    if (!result.utf8) {
        if (errors != nullptr) {
            errors->Clear();
        }
        return ReadWholeFile(db, path, staged, errors);
    }
    return FinishStaging(db, ok, staged);
}

bool ReadBookText(CExprDatabase& db, std::string_view text, StagedEntries& staged,
                  ParseErrors* errors) {
    db.RemoveAllClauses();
    staged.Clear();
    return FinishStaging(db, db.ReadText(text, StagingTargets(staged, errors)), staged);
}

}  // namespace addressbook
