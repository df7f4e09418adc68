// Feeds arbitrary bytes to the clause reader, writes what was read and reads
// it back.  Also reads the same bytes as a file through a tiny buffer and
// checks that the result matches reading them from memory, and checks that
// a streaming read (a consumer that keeps every other clause) and a read by
// the parser alone give the same clauses and errors as the plain read.
// Commands of a record's shape are handed on as their clauses would be.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clausedb/attribute_names.h"
#include "clausedb/clause_reader.h"
#include "clausedb/expr_database.h"
#include "fileio/text_encoding.h"

namespace {

std::string Written(const clausedb::CExprDatabase& db) {
    std::string text;
    db.WriteToString(text);
    return text;
}

// CR LF taken as LF, as the file reader does.
std::string WithoutCrLf(std::string_view bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) {
            text += bytes[i];
        }
    }
    return text;
}

struct Read {
    std::string clauses;  // every clause of the database, written
    int errors;
    bool ok;
    std::vector<clausedb::SyntaxError> reports;  // every error, with its line
};

template <typename Fn>
Read ReadWithReports(Fn&& fn) {
    clausedb::ParseErrors errors;
    clausedb::CExprDatabase db;
    bool ok = fn(db, &errors);
    return Read{Written(db), db.ErrorCount(), ok, errors.Errors()};
}

void CheckStreaming(std::string_view input) {
    const Read reference = ReadWithReports(
        [&](clausedb::CExprDatabase& db, auto* errors) { return db.ReadText(input, {}, errors); });

    // The clauses handed on, in order, are the clauses the plain read
    // holds; the database keeps exactly those the consumer kept.
    std::string handedOn, kept;
    int index = 0;
    const Read streamed = ReadWithReports([&](clausedb::CExprDatabase& db, auto* errors) {
        return db.ReadText(
            input,
            [&](clausedb::CExprTerm clause) {
                clause.WriteClause(handedOn);
                if (index++ % 2 != 0) {
                    return false;
                }
                clause.WriteClause(kept);
                return true;
            },
            errors);
    });
    if (handedOn != reference.clauses || streamed.clauses != kept ||
        streamed.errors != reference.errors || streamed.ok != reference.ok ||
        streamed.reports != reference.reports) {
        __builtin_trap();
    }

    // Plain commands read without the parser give what the parser gives.
    clausedb::SetPlainCommandsForTesting(false);
    const Read parser = ReadWithReports(
        [&](clausedb::CExprDatabase& db, auto* errors) { return db.ReadText(input, {}, errors); });
    clausedb::SetPlainCommandsForTesting(true);
    if (parser.clauses != reference.clauses || parser.errors != reference.errors ||
        parser.reports != reference.reports) {
        __builtin_trap();
    }
}

// What a read hands on, one line per command: its functor, whether the
// command held nothing but `names`, and their texts; then its result and
// its errors with their lines.  Read from the file at `path` when there is
// one, else from `input`.
std::string HandOn(bool records, std::string_view input, const std::string& path = {}) {
    static const clausedb::CAttributeNames names(
        {"LastName", "FirstName", "e", "Notes", "it's", "two words"});
    std::string log;
    auto note = [&](std::string_view functor, const std::string_view* texts, bool only) {
        log.append(functor).append(only ? "|1" : "|0");
        for (std::size_t i = 0; i < names.Size(); ++i) {
            log.append("|").append(texts[i]);
        }
        log += '\n';
    };
    clausedb::ReadTargets targets;
    clausedb::ParseErrors errors;
    targets.errors = &errors;
    targets.consumer = [&](clausedb::CExprTerm clause) {
        std::vector<std::string_view> texts(names.Size());
        note(clause.GetFunctor(), texts.data(), names.GetTexts(clause, texts.data()));
        return false;
    };
    if (records) {
        targets.records.names = &names;
        targets.records.take = [&](std::string_view functor, const std::string_view* texts) {
            note(functor, texts, true);
        };
    }
    clausedb::CExprDatabase db;
    const bool ok = path.empty() ? db.ReadText(input, targets) : db.ReadFile(path, targets);
    log += ok ? "read\n" : "refused\n";
    for (const clausedb::SyntaxError& error : errors.Errors()) {
        log += std::to_string(error.line) + ": " + error.message + "\n";
    }
    return log;
}

// Records are handed on as the consumer would read their clauses: from the
// text, or from the file at `path` through a tiny buffer.
void CheckRecords(std::string_view input, const std::string& path) {
    const std::string whole = HandOn(false, input, path);
    clausedb::SetStreamBufferSizeForTesting(path.empty() ? 0 : 1 + input.size() % 5);
    const std::string records = HandOn(true, input, path);
    clausedb::SetStreamBufferSizeForTesting(0);
    if (records != whole) {
        __builtin_trap();
    }
}

void CheckFileRead(std::string_view input, const Read& expected) {
    int fd = memfd_create("clause-fuzz", 0);
    if (fd < 0) {
        return;
    }
    if (write(fd, input.data(), input.size()) == static_cast<ssize_t>(input.size())) {
        clausedb::SetStreamBufferSizeForTesting(1 + input.size() % 7);
        const Read read = ReadWithReports([&](clausedb::CExprDatabase& db, auto* errors) {
            return db.ReadFile("/proc/self/fd/" + std::to_string(fd), {}, errors);
        });
        clausedb::SetStreamBufferSizeForTesting(0);
        if (read.clauses != expected.clauses || read.errors != expected.errors ||
            read.reports != expected.reports) {
            __builtin_trap();
        }
        CheckRecords(input, "/proc/self/fd/" + std::to_string(fd));
    }
    close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    clausedb::CExprDatabase db;
    db.ReadText(input);
    std::string first = Written(db);

    // Some terms do not read back (a word holding a quote, a clause without
    // a word in front); when the text does read back, one more round must
    // give the same text (reals settle after their first rounding).
    clausedb::CExprDatabase back;
    if (back.ReadText(first)) {
        std::string second = Written(back);
        clausedb::CExprDatabase again;
        if (!again.ReadText(second) || Written(again) != second) {
            __builtin_trap();
        }
    }

    CheckStreaming(input);
    CheckRecords(input, "");

    // Plain UTF-8 is read from a file the same as from memory.
    bool bom = input.size() >= 3 && input.substr(0, 3) == "\xEF\xBB\xBF";
    if (!bom && fileio::IsValidUtf8(input)) {
        const std::string text = WithoutCrLf(input);
        CheckFileRead(input, ReadWithReports([&](clausedb::CExprDatabase& db, auto* errors) {
                          return db.ReadText(text, {}, errors);
                      }));
    }
    return 0;
}
