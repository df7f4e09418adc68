#include <gtest/gtest.h>

#include "addressbook/delimited_export.h"
#include "fileio/atomic_file.h"
#include "support/book_io.h"
#include "test_support.h"

namespace addressbook {
namespace {

using testing::Columns;
using testsupport::ExportToText;

TEST(ExportDelimited, WritesLines) {
    const std::vector<testing::FieldValues> doe = {{{LastName, "Doe"}, {FirstName, "Jane"}}};
    struct Case {
        std::vector<testing::FieldValues> entries;
        ColumnMapping columns;
        char separator;
        int count;
        std::string bytes;
        ExportQuoting quoting = ExportQuoting::kBackslash;
    };
    constexpr ExportQuoting kRfc = ExportQuoting::kRfc4180;
    const Case cases[] = {
        {{{{LastName, "Smith"}, {FirstName, "Ann"}}},
         Columns({{LastName, 1}, {FirstName, 2}, {Email1, 4}}),
         ',',
         2,
         "\"LASTNAME\",\"FIRSTNAME\",\"\",\"EMAIL1\",\r\n\"Smith\",\"Ann\",\"\",\"\",\r\n"},
        {doe, Columns({{City, 2}}), ',', 2, "\"\",\"CITY\",\r\n\"\",\"\",\r\n"},
        {doe, Columns({{LastName, 1}, {FirstName, 1}}), ',', 2,
         "\"FIRSTNAME\",\r\n\"Jane\",\r\n"},  // the later field wins
        {doe, Columns({{Notes, 3}, {City, 3}, {LastName, -2}}), ',', 2,
         "\"\",\"\",\"NOTES\",\r\n\"\",\"\",\"\",\r\n"},
        {{{{LastName, "Zed"}}, {{LastName, "Abe"}}},
         Columns({{LastName, 1}}),
         '\t',
         3,
         "\"LASTNAME\"\t\r\n\"Zed\"\t\r\n\"Abe\"\t\r\n"},  // list order, tab
        {{{{Notes, "say \"hi\",\\\nbye"}}},
         Columns({{Notes, 1}}),
         ',',
         2,
         "\"NOTES\",\r\n\"say \\\"hi\\\",\\\\\r\nbye\",\r\n"},  // " and \ escaped; LF as CR LF
        {{}, Columns({{LastName, 1}}), ',', 1, "\"LASTNAME\",\r\n"},
        {doe, Columns({{LastName, -3}}), ',', 0, ""},
        {doe, Columns({{LastName, kMaxExportColumn + 1}}), ',', kExportColumnTooLarge, ""},
        // For spreadsheets: quotes doubled, "<p>" in Notes (only) as a line
        // break, backslashes as they are, no separator after the last field.
        {{{{Notes, "say \"hi\",\\<p>bye<p>"}, {City, "a<p>\"b\""}}},
         Columns({{Notes, 1}, {City, 3}}),
         ',',
         2,
         "\"NOTES\",\"\",\"CITY\"\r\n\"say \"\"hi\"\",\\\r\nbye\r\n\",\"\",\"a<p>\"\"b\"\"\"\r\n",
         kRfc},
        {doe, Columns({{FirstName, 1}}), '\t', 2, "\"FIRSTNAME\"\r\n\"Jane\"\r\n", kRfc},
        {{{{Notes, "x\ny"}}}, Columns({{Notes, 1}}), ',', 2, "\"NOTES\"\r\n\"x\r\ny\"\r\n", kRfc},
    };
    for (const Case& c : cases) {
        VectorAddressList list;
        testing::AppendEntries(list, c.entries);
        std::string out = "stale";
        EXPECT_EQ(ExportToText(list, c.columns, c.separator, out, c.quoting), c.count) << c.bytes;
        EXPECT_EQ(out, c.bytes);
    }
}

// The lines go out in blocks as they are made; a refused block, or a full
// disk, stops the export and keeps the old file.
TEST(ExportDelimited, FailedWritesStopTheExport) {
    VectorAddressList list;
    for (int i = 0; i < 20000; ++i) {
        testing::AppendEntries(list, {{{LastName, "Name " + std::to_string(i)}}});
    }
    const ColumnMapping columns = Columns({{LastName, 1}, {Notes, 40}});
    int blocks = 0;
    EXPECT_EQ(ExportDelimited(list, columns, ',', [&](std::string_view) { return ++blocks < 2; }),
              kExportWriteFailed);
    EXPECT_EQ(blocks, 2);

    testing::TempDir dir;
    const std::string path = dir.File("out.csv");
    testing::WriteBytes(path, "old\r\n");
    fileio::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(3);
    const int lines = ExportDelimited(list, columns, ',', writer);
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    EXPECT_EQ(lines, kExportWriteFailed);
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(writer.ErrorNumber(), ENOSPC);
    EXPECT_EQ(testing::ReadBytes(path), "old\r\n");
}

}  // namespace
}  // namespace addressbook
