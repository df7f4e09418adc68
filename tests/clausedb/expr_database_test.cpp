#include "clausedb/expr_database.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "clausedb/clause_reader.h"
#include "fileio/atomic_file.h"
#include "fileio/text_encoding.h"
#include "support/temp_folder.h"

namespace clausedb {
namespace {

namespace fs = std::filesystem;
using testsupport::ReadText;
using testsupport::WriteText;

const std::string kBom = "\xEF\xBB\xBF";

const char* const kNames[32] = {
    "LastName",  "FirstName", "MiddleInitial", "Title",       "Address1",  "Address2",
    "City",      "Country",   "State",         "ZipCode",     "Company",   "Department",
    "Position",  "Manager",   "Additional1",   "Additional2", "HomePhone", "HomeExt",
    "WorkPhone", "WorkExt",   "CellPhone",     "CellExt",     "Pager",     "PagerCard",
    "PagerExt",  "FaxPhone",  "FaxExt",        "Email1",      "Email2",    "Web1",
    "Web2",      "Notes"};

class ExprDatabaseFiles : public testing::Test {
protected:
    void TearDown() override { fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1); }
    std::string Path(const std::string& name) const { return m_folder.File(name); }
    static void AddContact(CExprDatabase& db, const std::vector<std::string>& values) {
        CExprTerm c = db.NewClause("contact");
        for (std::size_t i = 0; i < values.size(); ++i) {
            c.AddStringAttribute(kNames[i], values[i]);
        }
        db.AddClause(c);
    }

    testsupport::TempFolder m_folder;
};

TEST_F(ExprDatabaseFiles, ReadingTable) {
    struct Case {
        const char* name;
        std::string bytes;
        bool ok;
        int clauses;
    };
    const Case cases[] = {
        {"empty", "", true, 0},
        {"two", "f(a).\r\n\r\ng(b).\r\n", true, 2},
        {"bad middle", "f(a).\r\ng(.\r\nh(c).\r\n", false, 2},
        {"lone cr", "f(a)\r.\r\n", false, 0},
        {"bom", kBom + "f(a).", true, 1},
    };
    for (const Case& c : cases) {
        WriteText(Path(c.name), c.bytes);
        CExprDatabase db;
        EXPECT_EQ(db.ReadFile(Path(c.name)), c.ok) << c.name;
        EXPECT_EQ(db.CountClauses(), c.clauses) << c.name;
        EXPECT_EQ(db.ErrorCount() == 0, c.ok) << c.name;
    }
}

TEST_F(ExprDatabaseFiles, ReadingTwiceHoldsEveryClauseTwice) {
    WriteText(Path("b.qxd"), "f(1).\r\ng(2).\r\n");
    CExprDatabase db;
    ASSERT_TRUE(db.ReadFile(Path("b.qxd")));
    ASSERT_TRUE(db.ReadFile(Path("b.qxd")));
    std::string text;
    db.WriteToString(text);
    EXPECT_EQ(text, "f(1).\n\ng(2).\n\nf(1).\n\ng(2).\n\n");
    db.RemoveAllClauses();
    EXPECT_EQ(db.CountClauses(), 0);
    EXPECT_EQ(db.ErrorCount(), 0);
    EXPECT_EQ(db.Store().BytesReserved(), 0u);
}

TEST_F(ExprDatabaseFiles, MissingFileOrFolder) {
    CExprDatabase db;
    AddContact(db, {"Doe"});
    EXPECT_FALSE(db.ReadFile(Path("absent.qxd")));
    EXPECT_EQ(db.LastFileErrno(), ENOENT);
    EXPECT_FALSE(db.LastFileError().empty());
    EXPECT_EQ(db.CountClauses(), 1);  // nothing else changes
    EXPECT_FALSE(db.WriteFile(Path("no-such-folder/book.qxd")));
    EXPECT_FALSE(db.LastFileError().empty());
    EXPECT_FALSE(fs::exists(Path("no-such-folder")));
}

TEST_F(ExprDatabaseFiles, WritingUsesCrLfAndReadsBack) {
    CExprDatabase db;
    EXPECT_TRUE(db.WriteFile(Path("empty.qxd")));
    EXPECT_EQ(ReadText(Path("empty.qxd")), "");

    AddContact(db, {"Doe", "Jane", "a\r\nb", "c\nd\\"});
    ASSERT_TRUE(db.WriteFile(Path("one.qxd")));
    EXPECT_EQ(ReadText(Path("one.qxd")),
              "contact('LastName' = \"Doe\",\r\n"
              "  'FirstName' = \"Jane\",\r\n"
              "  'MiddleInitial' = \"a\r\r\nb\",\r\n"
              "  'Title' = \"c\r\nd\\\\\").\r\n\r\n");
    CExprDatabase back;
    ASSERT_TRUE(back.ReadFile(Path("one.qxd")));
    std::string text;
    ASSERT_TRUE(back.ClauseOf(back.First()).GetAttributeText("MiddleInitial", text));
    EXPECT_EQ(text, "a\r\nb");
    ASSERT_TRUE(back.ClauseOf(back.First()).GetAttributeText("Title", text));
    EXPECT_EQ(text, "c\nd\\");
}

TEST_F(ExprDatabaseFiles, FullDiskKeepsTheOldFile) {
    const std::string path = Path("book.qxd");
    WriteText(path, "old(contents).\r\n\r\n");
    CExprDatabase db;
    for (int i = 0; i < 2000; ++i) {
        AddContact(db, {"Name " + std::to_string(i), "x"});
    }
    for (long long limit : {0LL, 100LL, 70000LL}) {
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(limit);
        EXPECT_FALSE(db.WriteFile(path)) << limit;
        EXPECT_EQ(db.ErrorCount(), 1);
        EXPECT_FALSE(db.LastFileError().empty());
        EXPECT_EQ(ReadText(path), "old(contents).\r\n\r\n") << limit;
    }
    fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
    ASSERT_TRUE(db.WriteFile(path));
    EXPECT_EQ(db.ErrorCount(), 0);
    EXPECT_EQ(m_folder.Names().size(), 1u);  // no temporary file left behind
}

struct Outcome {
    bool ok;
    std::string terms;
    std::vector<SyntaxError> reports;
    bool operator==(const Outcome&) const = default;
};

Outcome Describe(CExprDatabase& db, bool ok, const ParseErrors& errors) {
    Outcome o{ok, "", errors.Errors()};
    db.ForEachClause([&](CExprTerm clause) {
        clause.WriteTerm(o.terms);
        o.terms += '|';
    });
    return o;
}

TEST_F(ExprDatabaseFiles, FileReadsAsTextWhateverTheBufferSize) {
    const std::string inputs[] = {
        "contact('LastName' = \"Doe\",\n  'Notes' = \"two\nlines \\\"q\\\" \\\\\").\n\n",
        "f(a). g(. h(x).\n",
        "f(1.5e+3, -12, 1 . 5, 3e-2, [a, [b]], 'quoted word', e5).\n",
        "/* comment\n over lines */ x. /* another */ y.\n",
        "f(a). /* left open\n",
        "f(\"no end).\n",
        "f(a)\r\n.\nf(\"cr\r\").\n",
        "f('x\ny', \"\\\r\n\").\n",
        "longwordlongwordlongwordlongword(argumentargumentargument = \"" + std::string(300, 'v') +
            "\").\n",
        "f(,).\nf(a = b = c).\n-",
        "",
    };
    for (const std::string& text : inputs) {
        ParseErrors referenceErrors;
        CExprDatabase reference;
        Outcome expected =
            Describe(reference, reference.ReadText(text, {}, &referenceErrors), referenceErrors);

        std::string disk;
        for (char c : text) {
            if (c == '\n') {
                disk += '\r';
            }
            disk += c;
        }
        WriteText(Path("stream.qxd"), disk);
        for (std::size_t size : {1u, 2u, 3u, 5u, 8u, 13u, 0u}) {
            SetStreamBufferSizeForTesting(size);
            ParseErrors errors;
            CExprDatabase db;
            Outcome got = Describe(db, db.ReadFile(Path("stream.qxd"), {}, &errors), errors);
            EXPECT_EQ(got, expected) << text << " buffer " << size;
        }
        SetStreamBufferSizeForTesting(0);
    }
}

TEST_F(ExprDatabaseFiles, EncodingsAndBlockBoundaries) {
    // A long value of three-byte characters straddles the reading blocks at
    // every alignment; plain UTF-8 must come through unchanged.
    std::string euros;
    for (int i = 0; i < 400000; ++i) {
        euros += "\xE2\x82\xAC";
    }
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("f(\"\xE9\").")) {
        utf16 += c == '\xE9' ? "\xE9" : std::string(1, c);
        utf16 += '\0';
    }
    struct Case {
        const char* name;
        std::string bytes;
        std::string value;
    };
    const Case cases[] = {
        {"euros", "f(\"" + euros + "\").", euros},
        {"euros-shifted", "ff(\"" + euros + "\").", euros},
        {"euros-shifted-twice", "fff(\"" + euros + "\").", euros},
        {"bom", kBom + "f(\"\xC3\xA9\").", "\xC3\xA9"},
        {"cp1252", "f(\"\xE9\x80\").", "\xC3\xA9\xE2\x82\xAC"},
        // One stray byte late in the file makes the whole file Windows-1252.
        {"cp1252-late", "f(\"" + euros + "\xE9\").", fileio::Windows1252ToUtf8(euros + "\xE9")},
        {"cut-at-end", "f(\"a\"). \xE2\x82", ""},
        {"utf16", utf16, "\xC3\xA9"},
    };
    for (const Case& c : cases) {
        WriteText(Path(c.name), c.bytes);
        CExprDatabase db;
        bool ok = db.ReadFile(Path(c.name));
        if (c.value.empty()) {
            EXPECT_FALSE(ok) << c.name;  // the cut character is a stray byte after decoding
            continue;
        }
        ASSERT_TRUE(ok) << c.name;
        CExprTerm value = db.ClauseOf(db.First()).First().Next();
        EXPECT_TRUE(value.WordOrStringText() == c.value) << c.name;  // long: no dump
    }
}

TEST(ExprDatabase, StreamWritingAndClauseOwnership) {
    CExprDatabase db;
    std::ostringstream empty;
    EXPECT_TRUE(db.WriteToStream(empty));
    EXPECT_EQ(empty.str(), "");
    db.AddClause(db.NewClause("a"));
    db.AddClause(CExprTerm());  // no term: not added
    CExprStore other;
    db.AddClause(other.NewClause("foreign"));  // another store's term: not added
    db.AddClause(db.NewClause("b"));
    EXPECT_EQ(db.CountClauses(), 2);
    std::ostringstream out;
    EXPECT_TRUE(db.WriteToStream(out));
    EXPECT_EQ(out.str(), "a().\n\nb().\n\n");
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_FALSE(db.WriteToStream(broken));
}

// Random valid UTF-8 made of the pieces that stress the writer and reader.
std::string RandomValue(std::mt19937& rng) {
    // clang-format off
    static const char* const kPieces[] = {
        "a", "Z", " ", "\"", "\\", "\r", "\n", "\r\n", "\t", "'", "/*", "*/", "=", ",", ").", "<p>",
        "\xC3\xA9", "\xE2\x82\xAC", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "e", "1.5e3"};
    // clang-format on
    std::uniform_int_distribution<int> shape(0, 9);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    int s = shape(rng);
    if (s <= 3) {
        return "";  // most fields are empty
    }
    std::size_t length = s == 9 ? 1500 : std::uniform_int_distribution<std::size_t>(1, 30)(rng);
    std::string value;
    for (std::size_t i = 0; i < length; ++i) {
        if (rng() % 50 == 0) {
            value += '\0';
        } else {
            value += kPieces[piece(rng)];
        }
    }
    if (rng() % 5 == 0) {
        value += '\\';  // a trailing backslash
    }
    return value;
}

TEST_F(ExprDatabaseFiles, RandomBooksSurviveWriteAndRead) {
    std::mt19937 rng(20240611);
    const std::string path = Path("random.qxd");
    for (int round = 0; round < 10; ++round) {
        std::vector<std::vector<std::string>> book;
        CExprDatabase db;
        for (int entry = 0; entry < 30; ++entry) {
            std::vector<std::string> values;
            for (int f = 0; f < 32; ++f) {
                values.push_back(RandomValue(rng));
            }
            AddContact(db, values);
            book.push_back(values);
        }
        ASSERT_TRUE(db.WriteFile(path));
        CExprDatabase back;
        ASSERT_TRUE(back.ReadFile(path)) << "round " << round;
        ASSERT_EQ(back.CountClauses(), 30);
        std::size_t entry = 0;
        back.ForEachClause([&](CExprTerm clause) {
            EXPECT_EQ(clause.GetFunctor(), "contact");
            for (int f = 0; f < 32; ++f) {
                std::string text;
                ASSERT_TRUE(clause.GetAttributeText(kNames[f], text));
                ASSERT_EQ(text, book[entry][static_cast<std::size_t>(f)])
                    << "round " << round << " entry " << entry << " field " << kNames[f];
            }
            ++entry;
        });
        // Writing what was read gives the same bytes again.
        ASSERT_TRUE(back.WriteFile(Path("again.qxd")));
        EXPECT_EQ(ReadText(Path("again.qxd")), ReadText(path));
    }
}

}  // namespace
}  // namespace clausedb
