// Reading a book with its contacts as records and its UTF-8 check on the way,
// whole (ReadBook) or only the fields (ReadBookFields), gives what a read of
// every clause through the clause parser gives: the same entries in order,
// row count, errors with their lines, and file errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/book_reader.h"
#include "clausedb/clause_reader.h"
#include "fileio/text_encoding.h"
#include "support/book_generator.h"
#include "support/temp_folder.h"

namespace addressbook {
namespace {

using clausedb::CExprDatabase;
using clausedb::ParseErrors;

TEST(BookReader, ReadsExactlyAsTheClauseParser) {
    testsupport::TempFolder dir;
    const std::string book = dir.File("book.qxd");
    const std::string a = bench::MakeBookText(20, 1, true), b = bench::MakeBookText(20, 2, true),
                      c = bench::MakeBookText(20, 3, true);
    const struct {
        const char* name;
        std::string text;
        std::string path = {};  // the book file holding `text` when empty
    } cases[] = {
        // Before any book: a failed read must leave no file error for the next.
        {"missing file", "", dir.File("missing.qxd")},
        {"a folder", "", dir.Path()},
        {"only contacts", a + b + c},
        {"extra data and other clauses",
         a + "contact('LastName' = \"X\", nick = word, 'City' = town, 'City' = \"again\").\r\n" +
             b + "settings(zoom = 3, [1, 2.5]).\r\n" + c},
        {"errors in several places",
         "contact(\r\n" + a + "oops.\r\n" + b + "contact('Notes' = \"open).\r\n" + c},
        {"a Latin-1 byte in the last part", a + b + "contact('City' = \"Li\xE8ge\").\r\n" + c},
        // The errors found before the Latin-1 byte must not be told twice.
        {"an error, then a Latin-1 byte",
         a + "contact('LastName' = ).\r\n" + b + "contact('City' = \"Li\xE8ge\").\r\n" + c},
        {"a byte-order mark", "\xEF\xBB\xBF" + a + b + c},
        {"line feeds only", bench::MakeBookText(60, 4, false)},
    };
    // Small blocks, so that every book spans many and an error can come
    // blocks before the byte that shows the file is not UTF-8.
    struct SmallBlocks {
        SmallBlocks() { clausedb::SetStreamBufferSizeForTesting(1000); }
        ~SmallBlocks() { clausedb::SetStreamBufferSizeForTesting(0); }
    } smallBlocks;
    CExprDatabase db;  // one for every read, as a window keeps it
    for (const auto& [name, text, other] : cases) {
        SCOPED_TRACE(name);
        const std::string& path = other.empty() ? book : other;
        if (other.empty()) {
            testsupport::WriteText(path, text);
        }
        // The reference: the whole file through the clause parser, each
        // contact made into an entry from its clause, as before records.
        CExprDatabase referenceDb;
        StagedEntries expected;
        ParseErrors expectedErrors;
        clausedb::ReadTargets clausesOnly = StagingTargets(expected, &expectedErrors);
        clausesOnly.records = {};
        const bool ok = referenceDb.ReadFile(path, clausesOnly);
        if (!ok) {
            expected.Clear();
        }

        StagedEntries staged;
        ParseErrors errors;
        EXPECT_EQ(ReadBook(db, path, staged, &errors), ok);
        EXPECT_EQ(staged.announcedRows, expected.announcedRows);
        EXPECT_EQ(errors.Errors(), expectedErrors.Errors());
        EXPECT_EQ(db.LastFileError(), referenceDb.LastFileError());
        ASSERT_EQ(staged.entries.size(), expected.entries.size());
        for (std::size_t i = 0; i < staged.entries.size(); ++i) {
            ASSERT_TRUE(*staged.entries[i] == *expected.entries[i]) << "entry " << i;
        }

        // The fields alone: a file that ReadBook must decode first, or
        // cannot open, is left to ReadBook without errors.
        const bool plain = other.empty() && fileio::IsValidUtf8(text);
        ParseErrors fieldErrors;
        std::vector<CAddressEntry> fields;
        auto take = [&fields](const auto& texts) { fields.emplace_back().AssignFields(texts); };
        EXPECT_EQ(ReadBookFields(db, path, take, &fieldErrors), !plain ? BookRead::kNotPlain
                                                                : ok   ? BookRead::kRead
                                                                       : BookRead::kRefused);
        EXPECT_EQ(fieldErrors.Errors(),
                  plain ? expectedErrors.Errors() : std::vector<clausedb::SyntaxError>{});
        if (plain && ok) {
            ASSERT_EQ(fields.size(), expected.entries.size());
            for (std::size_t i = 0; i < fields.size(); ++i) {
                CAddressEntry withoutExtra = *expected.entries[i];
                withoutExtra.SetExtra(CExtraData());
                ASSERT_TRUE(fields[i] == withoutExtra) << "entry " << i;
            }
        }
    }
}

}  // namespace
}  // namespace addressbook
