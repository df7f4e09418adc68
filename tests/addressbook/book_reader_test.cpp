// Reading a book with its contacts as records and its UTF-8 check on the way
// gives exactly what a read of every clause through the clause parser gives:
// the same entries in the same order, the same row count, the same errors
// with the same lines in the same order, and the same file errors.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/book_reader.h"
#include "fileio/text_encoding.h"
#include "support/book_generator.h"
#include "support/temp_folder.h"

namespace addressbook {
namespace {

using clausedb::CExprDatabase;
using clausedb::CExprTerm;
using clausedb::ParseErrors;
using clausedb::SyntaxError;

struct ReadResult {
    bool ok = false;
    int announcedRows = 0;
    std::vector<std::unique_ptr<CAddressEntry>> entries;
    std::vector<SyntaxError> errors;
    std::string fileError;
};

// The reference: every clause through the parser, each contact made into an
// entry from its clause, as books were read before records.
ReadResult ReadThroughClauses(const std::string& path) {
    ReadResult read;
    CExprDatabase db;
    ParseErrors errors;
    read.ok = db.ReadFile(
        path,
        [&read](CExprTerm clause) {
            ++read.announcedRows;
            if (clause.GetFunctor() == kContactFunctor) {
                read.entries.push_back(EntryFromClause(clause));
            }
            return false;
        },
        &errors);
    if (!read.ok) {
        read.entries.clear();
        read.announcedRows = 0;
    }
    read.errors = errors.Errors();
    read.fileError = db.LastFileError();
    return read;
}

ReadResult ReadAsRecords(const std::string& path) {
    ReadResult read;
    CExprDatabase db;
    ParseErrors errors;
    StagedEntries staged;
    read.ok = ReadBook(db, path, staged, &errors);
    read.announcedRows = staged.announcedRows;
    read.entries = std::move(staged.entries);
    read.errors = errors.Errors();
    read.fileError = db.LastFileError();
    return read;
}

// `count` generated contacts, CR LF line ends.
std::string Contacts(std::uint64_t first, std::uint64_t count, bool crlf = true) {
    std::string text;
    for (std::uint64_t i = first; i < first + count; ++i) {
        bench::AppendBookClause(bench::MakeContact(7, i), text, crlf);
    }
    return text;
}

// Many lines that end like clauses, inside a string or comment.
std::string ClauseEnds(std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) {
        text += "x).\r\n";
    }
    return text;
}

struct BookCase {
    const char* name;
    std::string text;
};

std::vector<BookCase> Books() {
    const std::string a = Contacts(0, 20);
    const std::string b = Contacts(20, 20);
    const std::string c = Contacts(40, 20);
    return {
        {"only contacts", a + b + c},
        {"extra data and other clauses",
         a + "contact('LastName' = \"X\", nick = word, 'City' = town, 'City' = \"again\").\r\n" +
             b + "settings(zoom = 3, [1, 2.5]).\r\n" + c},
        {"an error in the last third", a + b + "contact('LastName' = ).\r\n" + c},
        {"errors in several places",
         "contact(\r\n" + a + "oops.\r\n" + b + "contact('Notes' = \"open).\r\n" + c},
        {"a string full of clause ends",
         a + "contact('Notes' = \"" + ClauseEnds(3000) + "\").\r\n" + b + c},
        {"a comment full of clause ends", a + "/* " + ClauseEnds(3000) + " */\r\n" + b + c},
        {"an unclosed comment at the end", a + b + c + "/* " + ClauseEnds(300)},
        {"no full stop at the end", a + b + c + "contact('LastName' = \"End\")"},
        {"a Latin-1 byte in the last part", a + b + "contact('City' = \"Li\xE8ge\").\r\n" + c},
        {"a byte-order mark", "\xEF\xBB\xBF" + a + b + c},
        {"line feeds only", Contacts(0, 60, false)},
        {"escapes and quoted names",
         a + "contact(LastName = \"tab\\there\", 'FirstName' = \"two\r\nlines\").\r\n" + b + c},
        {"empty", ""},
    };
}

TEST(BookReader, ReadsExactlyAsTheClauseParser) {
    testsupport::TempFolder dir;
    for (const BookCase& book : Books()) {
        const std::string path = dir.File("book.qxd");
        testsupport::WriteText(path, book.text);
        const ReadResult expected = ReadThroughClauses(path);
        SCOPED_TRACE(book.name);
        const ReadResult read = ReadAsRecords(path);
        EXPECT_EQ(read.ok, expected.ok);
        EXPECT_EQ(read.announcedRows, expected.announcedRows);
        EXPECT_EQ(read.errors, expected.errors);
        EXPECT_EQ(read.fileError, expected.fileError);
        ASSERT_EQ(read.entries.size(), expected.entries.size());
        for (std::size_t i = 0; i < read.entries.size(); ++i) {
            ASSERT_TRUE(*read.entries[i] == *expected.entries[i]) << "entry " << i;
        }
    }
}

// ReadBookFields hands on the texts of the entries that ReadBook stages, in
// their order, with the same errors; a file that ReadBook must decode first
// it leaves to ReadBook.
TEST(BookReader, FieldsAreThoseOfTheStagedEntries) {
    testsupport::TempFolder dir;
    std::vector<BookCase> books = Books();
    books.push_back({"UTF-16", "\xFF\xFE" + std::string("c\0.\0", 4)});
    for (const BookCase& book : books) {
        const std::string path = dir.File("book.qxd");
        testsupport::WriteText(path, book.text);
        SCOPED_TRACE(book.name);
        const ReadResult expected = ReadAsRecords(path);
        CExprDatabase db;
        ParseErrors errors;
        std::vector<CAddressEntry> entries;
        const BookRead read = ReadBookFields(
            db, path,
            [&entries](const auto& texts) {
                entries.emplace_back();
                entries.back().AssignFields(texts);
            },
            &errors);
        const bool plain =
            book.text.compare(0, 2, "\xFF\xFE") != 0 && fileio::IsValidUtf8(book.text);
        if (!plain) {
            EXPECT_EQ(read, BookRead::kNotPlain);
            EXPECT_TRUE(errors.Errors().empty());
            continue;
        }
        EXPECT_EQ(read, expected.ok ? BookRead::kRead : BookRead::kRefused);
        EXPECT_EQ(errors.Errors(), expected.errors);
        if (expected.ok) {
            ASSERT_EQ(entries.size(), expected.entries.size());
            for (std::size_t i = 0; i < entries.size(); ++i) {
                CAddressEntry fields;  // the entry without its extra data
                std::array<std::string_view, kFieldCount> texts;
                expected.entries[i]->GetFields(texts);
                fields.AssignFields(texts);
                ASSERT_TRUE(entries[i] == fields) << "entry " << i;
            }
        }
    }
}

TEST(BookReader, FileErrorsAreReportedAsBefore) {
    testsupport::TempFolder dir;
    for (const std::string& path : {dir.File("missing.qxd"), dir.Path()}) {
        SCOPED_TRACE(path);
        const ReadResult expected = ReadThroughClauses(path);
        const ReadResult read = ReadAsRecords(path);
        EXPECT_FALSE(read.ok);
        EXPECT_FALSE(read.fileError.empty());
        EXPECT_EQ(read.fileError, expected.fileError);
    }
}

TEST(BookReader, AFailedReadLeavesNoFileErrorForTheNext) {
    testsupport::TempFolder dir;
    const std::string path = dir.File("book.qxd");
    testsupport::WriteText(path, Contacts(0, 30));
    CExprDatabase db;
    StagedEntries staged;
    ASSERT_FALSE(ReadBook(db, dir.File("missing.qxd"), staged));
    EXPECT_TRUE(ReadBook(db, path, staged));
    EXPECT_EQ(db.LastFileError(), "");
    EXPECT_EQ(staged.entries.size(), 30u);
}

}  // namespace
}  // namespace addressbook
