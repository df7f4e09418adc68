// The generated files must be exactly what the program itself reads and
// writes, or the benchmarks would measure something else.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "addressbook/book_file.h"
#include "addressbook/delimited_export.h"
#include "addressbook/delimited_import.h"
#include "addressbook/delimited_token.h"
#include "addressbook/vector_address_list.h"
#include "clausedb/expr_database.h"
#include "support/book_generator.h"
#include "support/book_io.h"

namespace bench {
namespace {

constexpr int kCount = 800;

TEST(GeneratedBook, ReadsBackFieldForField) {
    addressbook::VectorAddressList list;
    ASSERT_EQ(testsupport::LoadBookText(MakeBookText(kCount, kDefaultSeed, false), list), kCount);
    for (int row = 0; row < kCount; ++row) {
        const Contact expected = MakeContact(kDefaultSeed, static_cast<std::uint64_t>(row));
        for (int f = 0; f < kFieldCount; ++f) {
            ASSERT_EQ(list.EntryAt(row).GetField(f), expected[f])
                << "row " << row << " field " << kAttributeNames[f];
        }
    }
}

TEST(GeneratedBook, WriterReproducesItByteForByte) {
    const std::string text = MakeBookText(kCount, kDefaultSeed, false);
    clausedb::CExprDatabase db;
    ASSERT_TRUE(db.ReadText(text));
    std::ostringstream out;
    ASSERT_TRUE(db.WriteToStream(out));
    EXPECT_TRUE(out.str() == text);
}

TEST(GeneratedBook, ExportReproducesTheDelimitedFiles) {
    addressbook::VectorAddressList list;
    ASSERT_EQ(testsupport::LoadBookText(MakeBookText(kCount, kDefaultSeed, false), list), kCount);
    for (char separator : {',', '\t'}) {
        std::string out;
        EXPECT_EQ(testsupport::ExportToText(list, testsupport::AllColumns(), separator, out),
                  kCount + 1);
        EXPECT_TRUE(out == MakeDelimitedText(kCount, kDefaultSeed, separator))
            << "separator " << int(separator);
    }
}

TEST(GeneratedBook, ImportMakesOneEntryPerLine) {
    struct Case {
        char separator;
        std::string_view white;
        std::string_view breaks;
    };
    const Case cases[] = {
        {',', addressbook::kCommaWhite, addressbook::kCommaBreaks},
        {'\t', addressbook::kTabWhite, addressbook::kTabBreaks},
    };
    for (const Case& test : cases) {
        clausedb::CExprDatabase db;
        addressbook::StagedEntries staged;
        // Header line included.
        EXPECT_EQ(addressbook::ImportDelimited(
                      MakeDelimitedText(kCount, kDefaultSeed, test.separator),
                      testsupport::AllColumns(), test.white, test.breaks, db, staged),
                  kCount + 1);
    }
}

}  // namespace
}  // namespace bench
