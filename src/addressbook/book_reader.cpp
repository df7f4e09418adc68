#include "addressbook/book_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "addressbook/parallel_pieces.h"
#include "clausedb/clause_file_parts.h"
#include "fileio/file_reading.h"

namespace addressbook {

using clausedb::CAttributeNames;
using clausedb::CExprDatabase;
using clausedb::CExprTerm;
using clausedb::FilePart;
using clausedb::FilePartResult;
using clausedb::ParseErrors;

namespace {

// A part smaller than this is not worth a thread: starting one costs about
// as much as reading a megabyte.
constexpr std::size_t kMinPartBytes = std::size_t{1} << 20;
std::size_t g_partsForTesting = 0;
std::size_t g_minPartBytesForTesting = 0;

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
// when it is not plain UTF-8, then read in one thread.
bool ReadWholeFile(CExprDatabase& db, const std::string& path, StagedEntries& staged,
                   ParseErrors* errors) {
    staged.Clear();
    const CAttributeNames names = MakeFieldAttributes();
    return FinishStaging(db, db.ReadFile(path, StagingTargets(staged, names, errors)), staged);
}

std::size_t PartCount(std::uint64_t bytes) {
    const std::size_t minBytes =
        g_minPartBytesForTesting != 0 ? g_minPartBytesForTesting : kMinPartBytes;
    const std::size_t wanted = g_partsForTesting != 0 ? g_partsForTesting : ProcessorCount();
    return static_cast<std::size_t>(
        std::min<std::uint64_t>(wanted, std::max<std::uint64_t>(1, bytes / minBytes)));
}

// One part read on its own: its own database, names and entries.
struct PartRead {
    CExprDatabase db;
    CAttributeNames names = MakeFieldAttributes();
    StagedEntries staged;
    FilePartResult result;
    bool ok = false;
};

}  // namespace

clausedb::ReadTargets StagingTargets(StagedEntries& staged, const CAttributeNames& names,
                                     ParseErrors* errors) {
    clausedb::ReadTargets targets;
    targets.errors = errors;
    targets.consumer = [&staged, &names](CExprTerm clause) {
        ++staged.announcedRows;
        if (clause.GetFunctor() == kContactFunctor) {
            staged.entries.push_back(EntryFromClause(clause, names));
        }
        return false;
    };
    targets.records.names = &names;
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

void SetBookPartsForTesting(std::size_t parts, std::size_t minBytes) {
    g_partsForTesting = parts;
    g_minPartBytesForTesting = minBytes;
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
    const auto end = static_cast<std::uint64_t>(st.st_size);
    const std::vector<FilePart> parts =
        clausedb::SplitClauseFile(fd, begin, end, PartCount(end - begin));

    // The parts read at once.  Those before the first part with an error
    // were read exactly and are kept.
    std::size_t exact = 0;
    int lineFeeds = 0;  // in the parts kept
    if (parts.size() > 1) {
        std::vector<PartRead> reads(parts.size());
        RunPieces(parts.size(), [&](std::size_t i) {
            PartRead& read = reads[i];
            read.ok = read.db.ReadFilePart(
                parts[i], StagingTargets(read.staged, read.names, nullptr), read.result);
        });
        if (std::any_of(reads.begin(), reads.end(),
                        [](const PartRead& r) { return !r.result.utf8; })) {
            return ReadWholeFile(db, path, staged, errors);
        }
        for (; exact < reads.size() && reads[exact].ok; ++exact) {
            PartRead& read = reads[exact];
            lineFeeds += read.result.lineFeeds;
            staged.announcedRows += read.staged.announcedRows;
            staged.entries.insert(staged.entries.end(),
                                  std::make_move_iterator(read.staged.entries.begin()),
                                  std::make_move_iterator(read.staged.entries.end()));
        }
        if (exact == reads.size()) {
            db.ClearFileError();
            return FinishStaging(db, true, staged);
        }
    }

    // The rest in one thread: the whole book when it is read as one part,
    // or everything from the first part with an error on.
    const CAttributeNames names = MakeFieldAttributes();
    FilePartResult result;
    const bool ok = db.ReadFilePart(FilePart{fd, parts[exact].begin, end, 1 + lineFeeds},
                                    StagingTargets(staged, names, errors), result);
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
    const CAttributeNames names = MakeFieldAttributes();
    return FinishStaging(db, db.ReadText(text, StagingTargets(staged, names, errors)), staged);
}

}  // namespace addressbook
