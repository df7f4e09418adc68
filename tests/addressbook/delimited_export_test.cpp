#include <gtest/gtest.h>

#include "addressbook/delimited_export.h"
#include "fileio/atomic_file.h"
#include "test_support.h"

namespace addressbook {
namespace {

using testing::Columns;

TEST(ExportDelimited, WritesLines) {
    const std::vector<testing::FieldValues> doe = {{{LastName, "Doe"}, {FirstName, "Jane"}}};
    struct Case {
        std::vector<testing::FieldValues> entries;
        ColumnMapping columns;
        char separator;
        int count;
        std::string bytes;
    };
    const Case cases[] = {
        {{{{LastName, "Smith"}, {FirstName, "Ann"}}},
         Columns({{LastName, 1}, {FirstName, 2}, {Email1, 4}}),
         ',',
         2,
         "\"LASTNAME\",\"FIRSTNAME\",\"\",\"EMAIL1\",\r\n\"Smith\",\"Ann\",\"\",\"\",\r\n"},
        {doe, Columns({{City, 2}}), ',', 2, "\"\",\"CITY\",\r\n\"\",\"\",\r\n"},
        {doe, Columns({{LastName, 1}, {FirstName, 1}}), ',', 2,
         "\"FIRSTNAME\",\r\n\"Jane\",\r\n"},  // the later field wins
        {{{{LastName, "Zed"}}, {{LastName, "Abe"}}},
         Columns({{LastName, 1}}),
         '\t',
         3,
         "\"LASTNAME\"\t\r\n\"Zed\"\t\r\n\"Abe\"\t\r\n"},  // list order, tab
        {{{{Notes, "say \"hi\",\\\nbye"}}},
         Columns({{Notes, 1}}),
         ',',
         2,
         "\"NOTES\",\r\n\"say \"hi\",\\\r\nbye\",\r\n"},  // no escaping; LF as CR LF
        {{}, Columns({{LastName, 1}}), ',', 1, "\"LASTNAME\",\r\n"},
        {doe, Columns({{LastName, -3}}), ',', 0, ""},
        {doe, Columns({{LastName, kMaxExportColumn + 1}}), ',', -1, ""},
    };
    for (const Case& c : cases) {
        VectorAddressList list;
        testing::AppendEntries(list, c.entries);
        clausedb::CExprDatabase db;
        std::string out = "stale";
        EXPECT_EQ(ExportDelimited(list, db, c.columns, c.separator, out), c.count) << c.bytes;
        EXPECT_EQ(out, c.bytes);
        EXPECT_EQ(db.CountClauses(), 0);
    }
}

TEST(ExportDelimited, FailedWriteKeepsTheOldFile) {
    testing::TempDir dir;
    const std::string path = dir.File("out.csv");
    ASSERT_TRUE(WriteDelimitedFile(path, "old\r\n"));
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(3);
    std::string reason;
    EXPECT_FALSE(WriteDelimitedFile(path, std::string(100000, 'x'), &reason));
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(testing::ReadBytes(path), "old\r\n");
}

}  // namespace
}  // namespace addressbook
