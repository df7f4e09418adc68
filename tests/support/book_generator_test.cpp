#include "support/book_generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace bench {
namespace {

std::string ToCrLf(std::string_view text) {
    std::string out;
    for (char ch : text) {
        if (ch == '\n') {
            out += '\r';
        }
        out += ch;
    }
    return out;
}

using testsupport::ReadText;

Contact DoeContact() {
    Contact c;
    c[kLastName] = "Doe";
    c[kFirstName] = "Jane";
    c[kCity] = "Springfield";
    c[kHomePhone] = "555-0100";
    c[kNotes] = "Met at \"Expo\" 1997";
    return c;
}

TEST(BookClause, EscapesQuotesAndBackslashesOnly) {
    struct Case {
        std::string value;
        std::string written;
    };
    const Case cases[] = {
        {"plain, text; <p> é 東京", "plain, text; <p> é 東京"},
        {"say \"hi\"", "say \\\"hi\\\""},
        {"C:\\dir\\", "C:\\\\dir\\\\"},
        {"\\\"", "\\\\\\\""},
        {"two\nlines", "two\r\nlines"},
    };
    for (const Case& test : cases) {
        Contact c;
        c[kNotes] = test.value;
        std::string out;
        AppendBookClause(c, out);
        EXPECT_NE(out.find("'Notes' = \"" + test.written + "\")."), std::string::npos)
            << test.value;
    }
}

TEST(Generator, IsDeterministicAndIndependentOfTheBookSize) {
    EXPECT_EQ(MakeContact(7, 123), MakeContact(7, 123));
    EXPECT_NE(MakeContact(7, 123), MakeContact(8, 123));
    const std::string small = MakeBookText(10, kDefaultSeed, true);
    const std::string large = MakeBookText(20, kDefaultSeed, true);
    EXPECT_EQ(large.substr(0, small.size()), small);
    // The CR LF form is the LF form that the program's writer reproduces
    // (generated_book_test), with CR before each LF.
    EXPECT_EQ(large, ToCrLf(MakeBookText(20, kDefaultSeed, false)));
}

TEST(Generator, LooksLikeARealBook) {
    constexpr int kCount = 3000;
    long filled = 0;
    std::array<int, kFieldCount> perField{};
    bool cyrillic = false, cjk = false, accented = false;
    bool quote = false, backslash = false, comma = false, paragraph = false;
    for (int i = 0; i < kCount; ++i) {
        const Contact c = MakeContact(kDefaultSeed, i);
        filled += CountFilled(c);
        for (int f = 0; f < kFieldCount; ++f) {
            const std::string& v = c[f];
            perField[f] += v.empty() ? 0 : 1;
            // One entry per line in the delimited files, one value per line
            // in abook's file.
            ASSERT_EQ(v.find_first_of("\r\n\t"), std::string::npos) << v;
            for (unsigned char ch : v) {
                cyrillic |= ch == 0xD0 || ch == 0xD1;
                cjk |= ch >= 0xE4 && ch <= 0xE9;
                accented |= ch == 0xC3;
            }
        }
        const std::string& notes = c[kNotes];
        quote |= notes.find('"') != std::string::npos;
        backslash |= notes.find('\\') != std::string::npos;
        comma |= notes.find(',') != std::string::npos;
        paragraph |= notes.find("<p>") != std::string::npos;
        EXPECT_FALSE(AbookName(c, i).empty());
    }
    const double average = static_cast<double>(filled) / kCount;
    EXPECT_GE(average, 6.0);
    EXPECT_LE(average, 10.0);
    for (int f = 0; f < kFieldCount; ++f) {
        EXPECT_GT(perField[f], 0) << kAttributeNames[f] << " is never filled";
    }
    EXPECT_TRUE(cyrillic && cjk && accented);
    EXPECT_TRUE(quote && backslash && comma && paragraph);
}

TEST(Abook, EntryCarriesTheContact) {
    Contact c = DoeContact();
    c[kEmail1] = "jane@example.com";
    c[kEmail2] = "jd@example.org";
    c[kWorkPhone] = "555-0199";
    c[kWorkExt] = "12";
    c[kCompany] = "Acme";
    std::string out;
    AppendAbookEntry(c, 4, out);
    EXPECT_EQ(out,
              "[4]\nname=Jane Doe\nemail=jane@example.com,jd@example.org\ncity=Springfield\n"
              "phone=555-0100\nworkphone=555-0199 x12\nnotes=Met at \"Expo\" 1997\n"
              "custom1=Acme\n\n");
}

TEST(Abook, NameIsNeverEmpty) {
    struct Case {
        Field field;
        std::string value;
        std::string name;
    };
    const Case cases[] = {
        {kLastName, "Doe", "Doe"},
        {kFirstName, "Jane", "Jane"},
        {kCompany, "Acme", "Acme"},
        {kEmail1, "x@example.com", "x@example.com"},
        {kNotes, "only a note", "Contact 10"},
    };
    for (const Case& test : cases) {
        Contact c;
        c[test.field] = test.value;
        EXPECT_EQ(AbookName(c, 9), test.name);
    }
    Contact east;
    east[kLastName] = "佐藤";
    east[kFirstName] = "花子";
    EXPECT_EQ(AbookName(east, 0), "佐藤花子");
    Contact west;
    west[kLastName] = "Doe";
    west[kFirstName] = "Jane";
    west[kMiddleInitial] = "Q";
    EXPECT_EQ(AbookName(west, 0), "Jane Q. Doe");
}

TEST(WriteBookFiles, WritesTheFourFilesAndNoTemporaries) {
    testsupport::TempFolder temp;
    const std::filesystem::path folder = temp.Path();
    BookSizes sizes;
    std::string error;
    ASSERT_TRUE(WriteBookFiles(folder.string(), 40, 5, sizes, error)) << error;

    const BookPaths paths = PathsFor(folder.string(), 40);
    EXPECT_EQ(ReadText(paths.book), MakeBookText(40, 5, true));
    EXPECT_EQ(ReadText(paths.csv), MakeDelimitedText(40, 5, ','));
    EXPECT_EQ(ReadText(paths.tdf), MakeDelimitedText(40, 5, '\t'));
    const std::string abook = ReadText(paths.abook);
    EXPECT_EQ(abook.rfind("# abook addressbook file\n", 0), 0u);
    EXPECT_NE(abook.find("\n[39]\nname="), std::string::npos);
    EXPECT_EQ(sizes.book, std::filesystem::file_size(paths.book));
    EXPECT_EQ(sizes.abook, abook.size());
    EXPECT_EQ(temp.Names().size(), 4u);  // no temporaries left

    EXPECT_FALSE(WriteBookFiles((folder / "missing").string(), 1, 5, sizes, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace bench
