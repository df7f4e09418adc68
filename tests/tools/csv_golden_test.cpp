// Golden files: every tests/data/csv/NAME.csv (NAME.tdf: tab-separated) is
// imported with quillbox-tool import --columns header, which matches the
// columns by the first line's names; what the import prints must equal
// NAME.import.txt and what dump prints of the book NAME.dump.jsonl, byte
// for byte.  The inputs follow the CSV exports of webmail, desktop mail
// programs and phones, and this program's own exports.
//
// QUILLBOX_UPDATE_GOLDEN=1 rewrites the expected files from the tool's
// output (check the difference before committing it).
#include <string>

#include "golden_support.h"

namespace {

using golden::Expect;
using golden::Quoted;
using golden::Slurp;
namespace fs = std::filesystem;

const fs::path kDataDir = QUILLBOX_TEST_DATA_DIR "/csv";

using CsvGolden = golden::GoldenTest;

TEST_P(CsvGolden, ImportPrintsAndDumpsWhatIsExpected) {
    const fs::path input(GetParam());
    const std::string separator = input.extension() == ".tdf" ? "--tab" : "--comma";
    const fs::path book = m_dir / "book.qxd";
    const fs::path out = m_dir / "out.txt";
    const int status = golden::Tool(
        kDataDir, "import " + separator + " --columns header " + GetParam() + " " + Quoted(book),
        out);
    const std::string stem = input.stem().string();
    Expect("exit " + std::to_string(status) + "\n" + Slurp(out), kDataDir / (stem + ".import.txt"));
    if (status != 0) {
        EXPECT_FALSE(fs::exists(book));
        return;
    }
    ASSERT_EQ(golden::Tool(kDataDir, "dump " + Quoted(book), out), 0);
    Expect(Slurp(out), kDataDir / (stem + ".dump.jsonl"));
}

INSTANTIATE_TEST_SUITE_P(Files, CsvGolden,
                         ::testing::ValuesIn(golden::FileNames(kDataDir, {".csv", ".tdf"})),
                         golden::TestName);

}  // namespace
