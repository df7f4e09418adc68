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

BookRead ReadPlainBook(CExprDatabase& db, const std::string& path,
                       const clausedb::ReadTargets& targets) {
    db.RemoveAllClauses();
    bool regular = false;
    int err = 0;
    const int fd = fileio::OpenForReading(path, regular, err);
    if (fd < 0 || !regular) {
        if (fd >= 0) {
            ::close(fd);
        }
        return BookRead::kNotPlain;  // the other way reports what is wrong
    }
    FileCloser closer{fd};
    struct stat st {};
    char head[3] = {};
    if (fstat(fd, &st) != 0 || fileio::ReadSomeAt(fd, head, 3, 0) < 0) {
        return BookRead::kNotPlain;
    }
    const std::string_view mark(head,
                                std::min<std::size_t>(3, static_cast<std::size_t>(st.st_size)));
    if (mark.substr(0, 2) == "\xFF\xFE" || mark.substr(0, 2) == "\xFE\xFF") {
        return BookRead::kNotPlain;  // UTF-16: decoded first
    }
    const std::uint64_t begin = mark == "\xEF\xBB\xBF" ? 3 : 0;
    FilePartResult result;
    const bool ok = db.ReadFilePart(FilePart{fd, begin, static_cast<std::uint64_t>(st.st_size), 1},
                                    targets, result);
    if (!result.utf8) {
        if (targets.errors != nullptr) {
            targets.errors->Clear();
        }
        return BookRead::kNotPlain;
    }
    return ok ? BookRead::kRead : BookRead::kRefused;
}

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
    staged.Clear();
    const BookRead read = ReadPlainBook(db, path, StagingTargets(staged, errors));
    if (read == BookRead::kNotPlain) {
        return ReadWholeFile(db, path, staged, errors);
    }
    return FinishStaging(db, read == BookRead::kRead, staged);
}

BookRead ReadBookFields(CExprDatabase& db, const std::string& path, const ContactFields& take,
                        ParseErrors* errors) {
    clausedb::ReadTargets targets;
    targets.errors = errors;
    std::array<std::string_view, kFieldCount> fields;
    targets.consumer = [&take, &fields](CExprTerm clause) {
        if (clause.GetFunctor() == kContactFunctor) {
            GetFieldTexts(clause, fields);
            take(fields);
        }
        return false;
    };
    targets.records.names = &FieldAttributes();
    targets.records.take = [&take, &fields](std::string_view functor,
                                            const std::string_view* texts) {
        if (functor == kContactFunctor) {
            std::copy_n(texts, kFieldCount, fields.begin());
            take(fields);
        }
    };
    const BookRead read = ReadPlainBook(db, path, targets);
    db.Store().Clear();
    return read;
}

bool ReadBookText(CExprDatabase& db, std::string_view text, StagedEntries& staged,
                  ParseErrors* errors) {
    db.RemoveAllClauses();
    staged.Clear();
    return FinishStaging(db, db.ReadText(text, StagingTargets(staged, errors)), staged);
}

}  // namespace addressbook
