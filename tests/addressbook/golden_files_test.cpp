// The golden files in tests/data/golden: a hand-written book with CR LF line
// ends, multi-line notes, double quotes and backslashes, and its comma and
// tab exports and its comma export for spreadsheets, with every field in
// field order.  Opening and saving the book
// gives its bytes back; exporting it gives the golden exports, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "addressbook/book_file.h"
#include "addressbook/delimited_export.h"
#include "fileio/atomic_file.h"
#include "support/book_io.h"
#include "test_support.h"

namespace addressbook {
namespace {

std::string Golden(const std::string& name) {
    return std::string(QUILLBOX_TEST_DATA_DIR) + "/golden/" + name;
}

class GoldenFiles : public ::testing::Test {
protected:
    void SetUp() override {
        clausedb::CExprDatabase db;
        StagedEntries staged;
        ASSERT_TRUE(ReadBook(db, Golden("book.qxd"), staged)) << db.LastFileError();
        ASSERT_EQ(LoadEntries(staged, m_list), 4);
    }

    VectorAddressList m_list;
    testing::TempDir m_dir;
};

TEST_F(GoldenFiles, OpenReadsEveryFieldAsWritten) {
    EXPECT_EQ(m_list.EntryAt(0).GetField(Notes),
              "Met at \"Expo\" 1997.\nPrefers calls after 6 pm;\nshared folder is "
              "\\\\server\\share\\jane");
    EXPECT_EQ(m_list.EntryAt(0).GetField(Address2), "Apartment \"B\"");
    EXPECT_EQ(m_list.EntryAt(1).GetField(City), "Z\xC3\xBCrich");
    EXPECT_EQ(m_list.EntryAt(1).GetField(Additional1), "tab\there");
    EXPECT_EQ(m_list.EntryAt(1).GetField(Notes), "Ends in a backslash \\");
    EXPECT_EQ(testing::Describe(m_list)[2], std::vector<std::string>{});
    EXPECT_EQ(m_list.EntryAt(3).GetField(LastName), "O'Brien");
    EXPECT_EQ(m_list.EntryAt(3).GetField(Notes), "Line one\n\nLine three, after an empty one");
}

TEST_F(GoldenFiles, SaveWritesTheBookByteForByte) {
    clausedb::CExprDatabase db;
    ASSERT_TRUE(SaveBook(m_list, db, m_dir.File("saved.qxd")));
    EXPECT_EQ(testing::ReadBytes(m_dir.File("saved.qxd")), testing::ReadBytes(Golden("book.qxd")));
}

TEST_F(GoldenFiles, ExportWritesTheGoldenExports) {
    struct Export {
        char separator;
        ExportQuoting quoting;
        const char* name;
    };
    for (const auto& [separator, quoting, name] :
         {Export{',', ExportQuoting::kBackslash, "book.csv"},
          Export{'\t', ExportQuoting::kBackslash, "book.tdf"},
          Export{',', ExportQuoting::kRfc4180, "book-rfc4180.csv"}}) {
        fileio::AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(m_dir.File(name)));
        EXPECT_EQ(ExportDelimited(m_list, testsupport::AllColumns(), separator, writer, quoting), 5)
            << name;
        ASSERT_TRUE(writer.Commit());
        EXPECT_EQ(testing::ReadBytes(m_dir.File(name)), testing::ReadBytes(Golden(name))) << name;
    }
}

}  // namespace
}  // namespace addressbook
