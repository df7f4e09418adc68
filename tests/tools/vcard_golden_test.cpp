// Golden files: every tests/data/vcard/NAME.vcf is imported with
// quillbox-tool; what the import prints must equal NAME.import.txt and what
// dump prints of the book NAME.dump.jsonl, byte for byte.  Then the book is
// exported to vCard (3.0 and 4.0) and imported again, which must give the
// same entries.
//
// QUILLBOX_UPDATE_GOLDEN=1 rewrites the expected files from the tool's
// output (check the difference before committing it).
#include <string>
#include <vector>

#include "golden_support.h"

namespace {

using golden::Expect;
using golden::Quoted;
using golden::Slurp;
namespace fs = std::filesystem;

const fs::path kDataDir = QUILLBOX_TEST_DATA_DIR "/vcard";

int Tool(const std::string& arguments, const fs::path& output) {
    return golden::Tool(kDataDir, arguments, output);
}

std::vector<std::string> GoldenNames() {
    std::vector<std::string> names;
    for (const std::string& name : golden::FileNames(kDataDir, {".vcf"})) {
        names.push_back(fs::path(name).stem().string());
    }
    return names;
}

using VCardGolden = golden::GoldenTest;

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

INSTANTIATE_TEST_SUITE_P(Files, VCardGolden, ::testing::ValuesIn(GoldenNames()), golden::TestName);

}  // namespace
