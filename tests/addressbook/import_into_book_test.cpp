// Importing delimited text straight into a book writes exactly what loading
// the import and saving the book write, across many batches, and leaves the
// old book as it was when there is nothing to import or the write fails.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "addressbook/book_file.h"
#include "addressbook/delimited_import.h"
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

// A book of two entries and a link clause, to be written before the import.
struct Book {
    VectorAddressList list;
    std::optional<CExtraData> link;

    Book() {
        clausedb::CExprDatabase db;
        EXPECT_TRUE(db.ReadText("carddav(\"https://dav.example/book/\", 7).\n"));
        db.ForEachClause([this](clausedb::CExprTerm clause) { link = LinkFromClause(clause); });
        EXPECT_TRUE(link.has_value());
        for (std::uint64_t i = 0; i < 2; ++i) {
            list.AppendEntry(
                std::make_unique<CAddressEntry>(testsupport::EntryOf(bench::MakeContact(9, i))));
        }
    }
};

// Imports `csv` after `book` into `out` the old way: stage, load, save.
std::string LoadedAndSaved(const std::string& csv, Book& book, const std::string& out) {
    CDelimitedTextFile file;
    EXPECT_TRUE(file.Open(csv));
    clausedb::CExprDatabase db;
    StagedEntries staged;
    EXPECT_GT(ImportDelimited(file, AllColumns(), "\t", ",", db, staged), 0);
    VectorAddressList list;
    for (const auto& entry : book.list.Entries()) {
        list.AppendEntry(std::make_unique<CAddressEntry>(*entry));
    }
    LoadEntries(staged, list);
    EXPECT_TRUE(SaveBook(list, db, out, book.link ? &*book.link : nullptr));
    return ReadText(out);
}

int IntoBook(const std::string& csv, Book& book, const std::string& out, bool& saved,
             clausedb::CExprDatabase& db) {
    CDelimitedTextFile file;
    EXPECT_TRUE(file.Open(csv));
    return ImportDelimitedIntoBook(file, AllColumns(), "\t", ",", book.list,
                                   book.link ? &*book.link : nullptr, db, out, saved);
}

TEST(ImportIntoBook, WritesWhatLoadingAndSavingWrite) {
    // 20,000 contacts make about 40 batches; short lines and blank lines too.
    for (const int count : {1, 3, 20000}) {
        SCOPED_TRACE(std::to_string(count) + " contacts");
        testsupport::TempFolder folder;
        std::string csv = "\n,,\"quoted, comma\"\r\n";
        for (int i = 0; i < count; ++i) {
            bench::AppendDelimitedLine(bench::MakeContact(3, static_cast<std::uint64_t>(i)), ',',
                                       csv);
        }
        WriteText(folder.File("in.csv"), csv);
        Book book;
        const std::string expected = LoadedAndSaved(folder.File("in.csv"), book, folder.File("a"));
        bool saved = false;
        clausedb::CExprDatabase db;
        EXPECT_EQ(IntoBook(folder.File("in.csv"), book, folder.File("b"), saved, db), count + 1);
        EXPECT_TRUE(saved);
        EXPECT_EQ(ReadText(folder.File("b")), expected);
    }
}

// A stray byte after 20,000 lines of UTF-8 makes the whole text Windows-1252:
// the book is written again from the decoded lines, nothing left beside it.
TEST(ImportIntoBook, WritesTheDecodedTextWhenAStrayByteComesLate) {
    testsupport::TempFolder folder;
    std::string csv = "M\xC3\xBCller,Ann\n";
    for (int i = 0; i < 20000; ++i) {
        bench::AppendDelimitedLine(bench::MakeContact(4, static_cast<std::uint64_t>(i)), ',', csv);
    }
    csv +=
        "Stra\xDF"
        "e\n";
    WriteText(folder.File("in.csv"), csv);
    Book book;
    const std::string expected = LoadedAndSaved(folder.File("in.csv"), book, folder.File("a"));
    EXPECT_NE(expected.find("M\xC3\x83\xC2\xBCller"), std::string::npos);
    EXPECT_NE(expected.find("Stra\xC3\x9F"
                            "e"),
              std::string::npos);
    bool saved = false;
    clausedb::CExprDatabase db;
    EXPECT_EQ(IntoBook(folder.File("in.csv"), book, folder.File("b"), saved, db), 20002);
    EXPECT_TRUE(saved);
    EXPECT_EQ(ReadText(folder.File("b")), expected);
    EXPECT_EQ(folder.Names(), (std::set<std::string>{"a", "b", "in.csv"}));
}

TEST(ImportIntoBook, LeavesTheOldBookWhenNothingIsImportedOrTheWriteFails) {
    std::string big;
    for (int i = 0; i < 20000; ++i) {
        bench::AppendDelimitedLine(bench::MakeContact(5, static_cast<std::uint64_t>(i)), ',', big);
    }
    // Nothing to import; a disk full at once (the reader must not wait for a
    // writer that stopped); a disk full part-way.
    for (const auto& [csv, failAfter, imported] :
         {std::tuple{std::string("\n\n"), -1LL, 0}, {big, 0LL, 20000}, {big, 500000LL, 20000}}) {
        SCOPED_TRACE("failing after " + std::to_string(failAfter));
        testsupport::TempFolder folder;
        WriteText(folder.File("in.csv"), csv);
        WriteText(folder.File("book"), "old\n");
        Book book;
        bool saved = true;
        clausedb::CExprDatabase db;
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(failAfter);
        EXPECT_EQ(IntoBook(folder.File("in.csv"), book, folder.File("book"), saved, db), imported);
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
        EXPECT_FALSE(saved);
        EXPECT_EQ(db.LastFileError().empty(), imported == 0);
        EXPECT_EQ(ReadText(folder.File("book")), "old\n");
        EXPECT_EQ(folder.Names(), (std::set<std::string>{"book", "in.csv"}));
    }
}

}  // namespace
}  // namespace addressbook
