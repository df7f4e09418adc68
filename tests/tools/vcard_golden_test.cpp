// Golden files: every tests/data/vcard/NAME.vcf is imported with
// quillbox-tool; what the import prints must equal NAME.import.txt and what
// dump prints of the book NAME.dump.jsonl, byte for byte.  Then the book is
// exported to vCard (3.0 and 4.0) and imported again, which must give the
// same entries.
//
// QUILLBOX_UPDATE_GOLDEN=1 rewrites the expected files from the tool's
// output (check the difference before committing it).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = QUILLBOX_TEST_DATA_DIR "/vcard";

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Runs quillbox-tool in the data folder (so that it names the files as the
// expected texts do) with `arguments`; its exit status, and everything it
// printed in `output`.
int Tool(const std::string& arguments, const fs::path& output) {
    const std::string command = "cd " + Quoted(kDataDir) + " && " +
                                std::string(QUILLBOX_TOOL_PATH) + " " + arguments + " >" +
                                Quoted(output) + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> GoldenNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(kDataDir)) {
        if (entry.path().extension() == ".vcf") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class VCardGolden : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("quillbox-vcard-golden-" + std::to_string(::getpid()) + "-" + GetParam());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Compares `actual` with the expected file, or rewrites it.
    void Expect(const std::string& actual, const fs::path& expected) {
        if (std::getenv("QUILLBOX_UPDATE_GOLDEN") != nullptr) {
            std::ofstream(expected, std::ios::binary) << actual;
            return;
        }
        ASSERT_TRUE(fs::exists(expected)) << expected;
        EXPECT_EQ(actual, Slurp(expected)) << expected;
    }

    fs::path m_dir;
};

TEST_P(VCardGolden, ImportPrintsAndDumpsWhatIsExpected) {
    const fs::path book = m_dir / "book.qxd";
    const fs::path out = m_dir / "out.txt";
    const int status = Tool("import --vcard " + GetParam() + ".vcf " + Quoted(book), out);
    Expect("exit " + std::to_string(status) + "\n" + Slurp(out),
           kDataDir / (GetParam() + ".import.txt"));
    if (status != 0) {
        EXPECT_FALSE(fs::exists(book));  // nothing imported, nothing written
        return;
    }
    ASSERT_EQ(Tool("dump " + Quoted(book), out), 0);
    const std::string dump = Slurp(out);
    Expect(dump, kDataDir / (GetParam() + ".dump.jsonl"));

    // The book exported and imported again gives the same entries.
    for (const char* version : {"3.0", "4.0"}) {
        const fs::path cards = m_dir / "again.vcf";
        const fs::path again = m_dir / "again.qxd";
        ASSERT_EQ(Tool(std::string("export --vcard --vcard-version ") + version + " " +
                           Quoted(book) + " " + Quoted(cards),
                       out),
                  0)
            << Slurp(out);
        ASSERT_EQ(Tool("import --vcard " + Quoted(cards) + " " + Quoted(again), out), 0);
        ASSERT_EQ(Tool("dump " + Quoted(again), out), 0);
        EXPECT_EQ(Slurp(out), dump) << "exported as " << version;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, VCardGolden, ::testing::ValuesIn(GoldenNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name;
                         });

}  // namespace
