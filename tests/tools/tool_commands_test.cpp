// Runs the quillbox-tool binary the way a user does and checks what it
// prints, its exit status and the files it leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>

#include "resources/version.h"
#include "support/book_generator.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct RunResult {
    int status;
    std::string output;  // standard output and standard error together
};

RunResult RunTool(const std::string& arguments) {
    std::string command = std::string(QUILLBOX_TOOL_PATH) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    RunResult result{-1, {}};
    if (pipe == nullptr) {
        return result;
    }
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) {
        result.output.append(buf, n);
    }
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string ReadFile(const fs::path& path) {
    return testsupport::ReadText(path.string());
}

void WriteFile(const fs::path& path, const std::string& text) {
    testsupport::WriteText(path.string(), text);
}

using bench::kAttributeNames;

// One contact clause with the given last and first name and all other
// fields empty, in the file's own layout (CR LF line ends).
std::string ContactClause(const std::string& last, const std::string& first) {
    std::string text = "contact(";
    for (int i = 0; i < 32; ++i) {
        if (i > 0) {
            text += "  ";
        }
        std::string value = i == 0 ? last : i == 1 ? first : "";
        text += "'" + std::string(kAttributeNames[i]) + "' = \"" + value + "\"";
        text += i < 31 ? ",\r\n" : ").\r\n\r\n";
    }
    return text;
}

class ToolCommands : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(book_, ContactClause("Doe", "Jane") + ContactClause("Roe", "Rick"));
        WriteFile(badBook_, "contact('LastName' = \"A\").\r\n\r\nf(,).\r\n\r\ng(. h(x).\r\n");
    }

    std::string P(const fs::path& p) const { return p.string(); }

    testsupport::TempFolder folder_;
    fs::path dir_ = folder_.Path();
    fs::path book_ = dir_ / "book.qxd";
    fs::path badBook_ = dir_ / "bad.qxd";
};

// The version is the build's one number, the same the window program shows.
TEST_F(ToolCommands, VersionPrintsTheBuildsVersion) {
    const RunResult result = RunTool("--version");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, std::string("quillbox-tool ") + resources::kVersion + "\n");
}

TEST_F(ToolCommands, CheckCountsTheEntriesOfAGoodBook) {
    RunResult r = RunTool("check " + P(book_));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, P(book_) + ": 2 entries\n");
}

TEST_F(ToolCommands, CheckListsEveryReaderErrorWithItsLineAndRefuses) {
    RunResult r = RunTool("check " + P(badBook_));
    EXPECT_EQ(r.status, 1);
    // f(,) reports the error and the abandoned command; g( one more of each.
    EXPECT_NE(r.output.find(P(badBook_) + ":3: syntax error\n"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(P(badBook_) + ":3: Unrecognized command.\n"), std::string::npos);
    EXPECT_NE(r.output.find(P(badBook_) + ":5: syntax error\n"), std::string::npos);
    EXPECT_EQ(r.output.find("entries"), std::string::npos);
}

TEST_F(ToolCommands, UnreadableFilesAndUsageErrorsExitTwoWithAReason) {
    const std::pair<std::string, std::string> cases[] = {
        {"check " + P(dir_), "Is a directory"},
        {"check", "check takes one book"},
        {"frobnicate x", "unknown command 'frobnicate'"},
        {"export --comma --columns Surname=1 " + P(book_) + " " + P(dir_ / "o.csv"),
         "unknown attribute 'Surname'"},
        {"export --comma --columns LastName=x " + P(book_) + " " + P(dir_ / "o.csv"),
         "bad column number"},
        {"export --columns LastName=1 " + P(book_) + " " + P(dir_ / "o.csv"), "--comma and --tab"},
        {"export --tab --columns Notes=1001 " + P(book_) + " " + P(dir_ / "o.csv"), "above 1000"},
        {"import --tab --columns LastName=1 " + P(dir_ / "none.txt") + " " + P(dir_ / "o.qxd"),
         "No such file or directory"},
    };
    for (const auto& [arguments, reason] : cases) {
        RunResult r = RunTool(arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_NE(r.output.find(reason), std::string::npos) << arguments << " -> " << r.output;
    }
}

// Each failure names the file once, then the system's reason.
TEST_F(ToolCommands, FileErrorsNameTheFileOnce) {
    const std::string missing = P(dir_ / "missing.qxd");
    const std::string noFolder = P(dir_ / "no" / "such" / "out.qxd");
    const std::pair<std::string, std::string> cases[] = {
        {"check " + missing,
         "quillbox-tool: cannot read " + missing + ": No such file or directory\n"},
        {"convert " + P(book_) + " " + noFolder,
         "quillbox-tool: cannot write " + noFolder + ": No such file or directory\n"},
        {"export --tab --columns LastName=1 " + P(book_) + " " + noFolder,
         "quillbox-tool: cannot write " + noFolder + ": No such file or directory\n"},
        {"import --tab --columns LastName=1 " + P(book_) + " " + noFolder,
         "quillbox-tool: cannot write " + noFolder + ": No such file or directory\n"},
    };
    for (const auto& [arguments, output] : cases) {
        RunResult r = RunTool(arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_EQ(r.output, output) << arguments;
    }
}

TEST_F(ToolCommands, DumpPrintsOneJsonObjectPerEntryInFileOrder) {
    RunResult r = RunTool("dump " + P(book_));
    ASSERT_EQ(r.status, 0) << r.output;
    std::istringstream lines(r.output);
    std::string first, second, extra;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_FALSE(std::getline(lines, extra));
    EXPECT_EQ(first.rfind("{\"LastName\":\"Doe\",\"FirstName\":\"Jane\",\"MiddleInitial\":\"\"", 0),
              0u)
        << first;
    EXPECT_NE(first.find(",\"Notes\":\"\"}"), std::string::npos);
    EXPECT_EQ(second.rfind("{\"LastName\":\"Roe\"", 0), 0u);
}

TEST_F(ToolCommands, ConvertWritesWhatSaveWritesAndLeavesTheTargetAloneOnRefusal) {
    fs::path out = dir_ / "out.qxd";
    RunResult r = RunTool("convert " + P(book_) + " " + P(out));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(ReadFile(out), ReadFile(book_));

    WriteFile(out, "previous contents");
    r = RunTool("convert " + P(badBook_) + " " + P(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile(out), "previous contents");
}

TEST_F(ToolCommands, ImportAppendsAfterTheBookAndExportWritesQuotedLines) {
    fs::path text = dir_ / "people.csv";
    WriteFile(text, "Smith,Ann,x,ann@example.org\r\n\r\n\"Brown, Jr.\",Bob\r\n");
    fs::path out = dir_ / "merged.qxd";
    RunResult r = RunTool("import --comma --columns LastName=1,FirstName=2,Email1=4 --book " +
                          P(book_) + " " + P(text) + " " + P(out));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "2 addresses imported.\n");
    EXPECT_EQ(RunTool("check " + P(out)).output, P(out) + ": 4 entries\n");

    fs::path csv = dir_ / "merged.csv";
    r = RunTool("export --comma --columns LastName=1,FirstName=2,Email1=4 " + P(out) + " " +
                P(csv));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "5 addresses exported.\n");
    EXPECT_EQ(ReadFile(csv),
              "\"LASTNAME\",\"FIRSTNAME\",\"\",\"EMAIL1\",\r\n"
              "\"Doe\",\"Jane\",\"\",\"\",\r\n"
              "\"Roe\",\"Rick\",\"\",\"\",\r\n"
              "\"Smith\",\"Ann\",\"\",\"ann@example.org\",\r\n"
              "\"Brown, Jr.\",\"Bob\",\"\",\"\",\r\n");
}

// --skip-existing leaves out what the book holds, for vCards and for CSV
// whose first line names the columns; a file whose every entry is skipped
// still writes OUT.
TEST_F(ToolCommands, ImportSkipsEntriesTheBookHolds) {
    const fs::path vcf = dir_ / "people.vcf";
    WriteFile(vcf,
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;Jane;;;\r\nFN:Jane Doe\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nFN:Ann Lee\r\nEND:VCARD\r\n");
    const fs::path csv = dir_ / "people.csv";
    WriteFile(csv, "Last Name,First Name\r\nRick,Roe\r\nDOE,JANE\r\n");
    const fs::path onlyDoe = dir_ / "doe.csv";
    WriteFile(onlyDoe, "Last Name,First Name\r\nDoe,Jane\r\n");
    const fs::path out = dir_ / "out.qxd";
    struct Case {
        std::string arguments;
        int status;
        std::string output;
        int entries;
    };
    const Case cases[] = {
        {"import --vcard --skip-existing --book " + P(book_) + " " + P(vcf), 0,
         "1 addresses imported. 1 already in the book was skipped.\n", 3},
        {"import --vcard --book " + P(book_) + " " + P(vcf), 0, "2 addresses imported.\n", 4},
        {"import --comma --columns header --skip-existing --book " + P(book_) + " " + P(csv), 0,
         "0 addresses imported. 2 already in the book were skipped.\n", 2},
        {"import --comma --columns header --book " + P(book_) + " " + P(onlyDoe), 0,
         "1 addresses imported.\n", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        fs::remove(out);
        const RunResult r = RunTool(c.arguments + " " + P(out));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.output, c.output);
        EXPECT_EQ(RunTool("check " + P(out)).output,
                  P(out) + ": " + std::to_string(c.entries) + " entries\n");
    }
    const RunResult plain =
        RunTool("import --comma --columns LastName=1 --skip-existing " + P(csv) + " " + P(out));
    EXPECT_EQ(plain.status, 2);
    EXPECT_NE(plain.output.find("--skip-existing needs --columns header"), std::string::npos);
}

// The golden book of tests/data: converted to itself, and exported to the
// golden exports, byte for byte.
TEST_F(ToolCommands, GoldenBookConvertsAndExportsByteForByte) {
    const fs::path golden = fs::path(QUILLBOX_TEST_DATA_DIR) / "golden";
    RunResult r = RunTool("convert " + P(golden / "book.qxd") + " " + P(dir_ / "book.qxd"));
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(ReadFile(dir_ / "book.qxd"), ReadFile(golden / "book.qxd"));

    std::string columns;
    for (int i = 0; i < 32; ++i) {
        columns +=
            (i > 0 ? "," : "") + std::string(kAttributeNames[i]) + "=" + std::to_string(i + 1);
    }
    for (const auto& [option, name] :
         {std::pair{"--comma", "book.csv"}, std::pair{"--tab", "book.tdf"}}) {
        r = RunTool(std::string("export ") + option + " --columns " + columns + " " +
                    P(golden / "book.qxd") + " " + P(dir_ / name));
        ASSERT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output, "5 addresses exported.\n");
        EXPECT_EQ(ReadFile(dir_ / name), ReadFile(golden / name)) << name;
    }
}

// The export writes each line as it reads the book, yet a refused book
// leaves the target as it was (its errors first, before any complaint about
// the columns), and a book found not to be UTF-8 while it is read is
// exported as it opens.
TEST_F(ToolCommands, ExportWritesOnlyWhatAnOpenedBookHolds) {
    const fs::path latin1 = dir_ / "latin1.qxd";
    WriteFile(latin1, ContactClause("Roe", "Rick") + ContactClause("Li\xE8ge", "Jane"));
    const fs::path out = dir_ / "out.csv";
    const std::string refused = P(badBook_) + ":3: syntax error\n";
    const std::tuple<std::string, int, std::string, std::string> cases[] = {
        {"LastName=1 " + P(badBook_), 1, refused, "old"},
        {"LastName=1001 " + P(badBook_), 1, refused, "old"},
        {"LastName=1 " + P(latin1), 0, "3 addresses exported.\n",
         "\"LASTNAME\",\r\n\"Roe\",\r\n\"Li\xC3\xA8ge\",\r\n"},
    };
    for (const auto& [columns, status, output, written] : cases) {
        SCOPED_TRACE(columns);
        WriteFile(out, "old");
        const RunResult r = RunTool("export --comma --columns " + columns + " " + P(out));
        EXPECT_EQ(r.status, status);
        EXPECT_EQ(r.output.substr(0, output.size()), output);
        EXPECT_EQ(ReadFile(out), written);
        // No new version left behind.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 4);
    }
}

TEST_F(ToolCommands, ImportThatYieldsNothingSaysSoAndWritesNothing) {
    fs::path text = dir_ / "people.tdf";
    WriteFile(text, "a\tb\n");
    fs::path out = dir_ / "never.qxd";
    RunResult r = RunTool("import --tab --columns LastName=7 " + P(text) + " " + P(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.output, "No addresses could be imported.\n");
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
