// Writers on a second thread while the caller reads on (a book copied, text
// imported into a book, contacts exported) write, across the many batches of
// 20,000 contacts, exactly what reading and then writing writes; a failed
// write is told, leaves the target as it was with nothing beside it, and
// leaves no reader waiting.  (Small ones are the tool's tests.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "addressbook/book_copy.h"
#include "addressbook/book_file.h"
#include "addressbook/delimited_export.h"
#include "addressbook/export_pipeline.h"
#include "addressbook/import_into_book.h"
#include "addressbook/vector_address_list.h"
#include "fileio/atomic_file.h"
#include "support/book_generator.h"
#include "support/book_io.h"
#include "support/temp_folder.h"

namespace addressbook {
namespace {

using testsupport::AllColumns;
using testsupport::ReadText;
using testsupport::WriteText;

constexpr int kMany = 20000;
const std::string kLink =
    "carddav('Url' = \"https://dav.example/book/\", 'SyncToken' = \"7\").\n\n";

// Opens the book at `path` into `list` as the window does; returns its link.
std::optional<CExtraData> Open(const std::string& path, VectorAddressList& list) {
    clausedb::CExprDatabase db;
    StagedEntries staged;
    EXPECT_TRUE(ReadBook(db, path, staged));
    std::optional<CExtraData> link = std::move(staged.link);
    LoadEntries(staged, list);
    return link;
}

// What the window writes when it opens the book at `in`, loads `more` after
// its entries and saves it as `out`.
std::string OpenedAndSaved(const std::string& in, const std::string& out, StagedEntries more = {}) {
    VectorAddressList list;
    const std::optional<CExtraData> link = Open(in, list);
    LoadEntries(more, list);
    clausedb::CExprDatabase db;
    EXPECT_TRUE(SaveBook(list, db, out, link ? &*link : nullptr));
    return ReadText(out);
}

TEST(BookCopy, WritesWhatOpeningAndSavingWriteOrLeavesTheBookToThatRoute) {
    const std::string many = bench::MakeBookText(kMany, 5, false);
    const struct {
        const char* name;
        std::string text;
        BookRead expected;
        bool writable = true;  // false: `out` lies in a missing folder
    } cases[] = {
        {"plain", many, BookRead::kRead},
        {"link first, other clauses, a word value",
         kLink + "group(1).\n" + many + "contact('LastName' = doe).\nnote(x).\n" + kLink,
         BookRead::kRead},
        {"CR LF", bench::MakeBookText(300, 6, true), BookRead::kRead},
        {"empty", "", BookRead::kRead},
        {"link only", kLink, BookRead::kRead},
        {"link after a contact", many + kLink, BookRead::kNotPlain},
        {"extra data", many + "contact('LastName' = \"X\", 'Birthday' = \"1970\").\n",
         BookRead::kNotPlain},
        {"Latin-1", many + "contact('LastName' = \"M\xFCller\").\n", BookRead::kNotPlain},
        {"syntax error", many + "contact('LastName' = ).\n", BookRead::kRefused},
        {"a write that fails", many, BookRead::kRead, false},
    };
    for (const auto& [name, text, expected, writable] : cases) {
        SCOPED_TRACE(name);
        testsupport::TempFolder folder;
        WriteText(folder.File("in.qxd"), text);
        WriteText(folder.File("out.qxd"), "old");
        clausedb::CExprDatabase readDb, writeDb;
        clausedb::ParseErrors errors;
        bool saved = false;
        const BookRead read =
            CopyPlainBook(readDb, writeDb, folder.File("in.qxd"),
                          folder.File(writable ? "out.qxd" : "missing/out.qxd"), &errors, saved);
        const bool written = read == BookRead::kRead && writable;
        EXPECT_EQ(read, expected);
        EXPECT_EQ(saved, written);
        EXPECT_EQ(writeDb.LastFileError().empty(), writable);
        EXPECT_EQ(errors.Errors().empty(), read != BookRead::kRefused);
        EXPECT_EQ(folder.Names(), (std::set<std::string>{"in.qxd", "out.qxd"}));
        EXPECT_EQ(
            ReadText(folder.File("out.qxd")),
            written ? OpenedAndSaved(folder.File("in.qxd"), folder.File("again.qxd")) : "old");
    }
}

TEST(ImportIntoBook, WritesWhatLoadingAndSavingWriteOrLeavesTheOldBook) {
    testsupport::TempFolder folder;
    const std::string old = folder.File("old.qxd"), csv = folder.File("in.csv"),
                      out = folder.File("out.qxd");
    WriteText(old, kLink + bench::MakeBookText(2, 9, false));
    // Short lines and blank lines too; the header line is imported as well.
    WriteText(csv, "\n,,\"quoted, comma\"\r\n" + bench::MakeDelimitedText(kMany, 3, ','));

    // The old way: stage the import, load it after the book's entries, save.
    CDelimitedTextFile file;
    ASSERT_TRUE(file.Open(csv));
    clausedb::CExprDatabase db;
    StagedEntries imported;
    ASSERT_EQ(ImportDelimited(file, AllColumns(), "\t", ",", db, imported), kMany + 2);
    const std::string expected =
        OpenedAndSaved(old, folder.File("expected.qxd"), std::move(imported));

    // Written, failing at once, failing part-way.
    VectorAddressList book;
    const std::optional<CExtraData> link = Open(old, book);
    ASSERT_TRUE(link.has_value());
    for (const long long failAfterBytes : {-1LL, 0LL, 500000LL}) {
        SCOPED_TRACE("failing after " + std::to_string(failAfterBytes));
        WriteText(out, "old");
        ASSERT_TRUE(file.Open(csv));
        clausedb::CExprDatabase writeDb;
        bool saved = failAfterBytes >= 0;
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(failAfterBytes);
        EXPECT_EQ(ImportDelimitedIntoBook(file, AllColumns(), "\t", ",", book, &*link, writeDb, out,
                                          saved),
                  kMany + 2);
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
        EXPECT_EQ(saved, failAfterBytes < 0);
        EXPECT_EQ(writeDb.LastFileError().empty(), saved);
        EXPECT_EQ(ReadText(out), saved ? expected : "old");
        EXPECT_EQ(folder.Names(),
                  (std::set<std::string>{"expected.qxd", "in.csv", "old.qxd", "out.qxd"}));
    }
}

// A stray byte after 20,000 lines of UTF-8 makes the whole text Windows-1252:
// the book is written again from the decoded lines, nothing left beside it.
TEST(ImportIntoBook, WritesTheDecodedTextWhenAStrayByteComesLate) {
    testsupport::TempFolder folder;
    const std::string csv = folder.File("in.csv"), out = folder.File("out.qxd");
    std::string text = "M\xC3\xBCller,Ann\n";
    for (int i = 0; i < kMany; ++i) {
        bench::AppendDelimitedLine(bench::MakeContact(4, static_cast<std::uint64_t>(i)), ',', text);
    }
    text +=
        "Stra\xDF"
        "e\n";
    WriteText(csv, text);

    CDelimitedTextFile file;
    ASSERT_TRUE(file.Open(csv));
    clausedb::CExprDatabase db;
    StagedEntries imported;
    ASSERT_EQ(ImportDelimited(file, AllColumns(), "\t", ",", db, imported), kMany + 2);
    VectorAddressList staged;
    LoadEntries(imported, staged);
    ASSERT_TRUE(SaveBook(staged, db, folder.File("expected.qxd"), nullptr));
    const std::string expected = ReadText(folder.File("expected.qxd"));
    EXPECT_NE(expected.find("M\xC3\x83\xC2\xBCller"), std::string::npos);
    EXPECT_NE(expected.find("Stra\xC3\x9F"
                            "e"),
              std::string::npos);

    ASSERT_TRUE(file.Open(csv));
    VectorAddressList book;
    clausedb::CExprDatabase writeDb;
    bool saved = false;
    EXPECT_EQ(
        ImportDelimitedIntoBook(file, AllColumns(), "\t", ",", book, nullptr, writeDb, out, saved),
        kMany + 2);
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadText(out), expected);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"expected.qxd", "in.csv", "out.qxd"}));
}

// The generated export is byte for byte what the exporter writes.
TEST(ExportPipeline, WritesWhatTheExporterWritesAndStopsWhenTheSinkFails) {
    for (const auto& [count, failAt] : {std::pair{0, 0}, {kMany, 0}, {kMany, 3}}) {
        SCOPED_TRACE(std::to_string(count) + " contacts, failing block " + std::to_string(failAt));
        const std::string all = bench::MakeDelimitedText(count, 3, ',');
        std::string written;
        int blocks = 0;  // the sink refuses block `failAt`, counted from 1
        DelimitedExporter exporter(AllColumns(), ',', [&](std::string_view bytes) {
            if (++blocks == failAt) {
                return false;
            }
            written.append(bytes);
            return true;
        });
        CExportPipeline pipeline(exporter);
        for (std::uint64_t i = 0; i < static_cast<std::uint64_t>(count); ++i) {
            const bench::Contact contact = bench::MakeContact(3, i);
            FieldTexts texts;
            std::copy(contact.begin(), contact.end(), texts.begin());
            pipeline.Add(texts);
        }
        EXPECT_EQ(pipeline.Finish(), failAt == 0 ? count + 1 : kExportWriteFailed);
        // After a refused block nothing more is written.
        EXPECT_TRUE(failAt == 0 ? written == all
                                : all.starts_with(written) && written.size() < all.size());
    }
}

}  // namespace
}  // namespace addressbook
