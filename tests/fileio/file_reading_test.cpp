#include "fileio/file_reading.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "support/temp_folder.h"

namespace fileio {
namespace {

using testsupport::LetterPattern;
using testsupport::ReadText;
using testsupport::TempFolder;
using testsupport::WriteText;

class FileReadingTest : public ::testing::Test {
protected:
    TempFolder m_folder;
};

TEST_F(FileReadingTest, ReadWholeFileReadsEveryByte) {
    const std::string path = m_folder.File("f");
    std::string content = LetterPattern(150000);
    content[7] = '\0';
    content += "\r\n\xFF";
    WriteText(path, content);
    std::string read = "stale";
    ASSERT_TRUE(ReadWholeFile(path, read));
    EXPECT_EQ(read, content);

    WriteText(path, "");
    ASSERT_TRUE(ReadWholeFile(path, read));
    EXPECT_EQ(read, "");
}

TEST_F(FileReadingTest, ReadWholeFileErrors) {
    struct Case {
        const char* name;
        std::string path;
        int errorNumber;
    };
    const Case cases[] = {
        {"missing file", m_folder.File("missing"), ENOENT},
        {"missing folder", m_folder.File("missing/f"), ENOENT},
        {"folder", m_folder.Path(), EISDIR},
        {"file used as folder", m_folder.File("plain/f"), ENOTDIR},
    };
    WriteText(m_folder.File("plain"), "x");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        std::string error;
        int number = 0;
        EXPECT_FALSE(ReadWholeFile(c.path, out, &error, &number));
        EXPECT_EQ(number, c.errorNumber);
        EXPECT_EQ(error, strerror(c.errorNumber));
    }
}

TEST_F(FileReadingTest, ReadWholeFileReportsPermissionDenied) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    const std::string path = m_folder.File("secret");
    WriteText(path, "x");
    chmod(path.c_str(), 0);
    std::string out;
    int number = 0;
    EXPECT_FALSE(ReadWholeFile(path, out, nullptr, &number));
    EXPECT_EQ(number, EACCES);
}

TEST_F(FileReadingTest, ScanTellsPlainUtf8FromTextToDecode) {
    std::string euros;  // three-byte characters across the reading blocks
    for (int i = 0; i < 200000; ++i) {
        euros += "\xE2\x82\xAC";
    }
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
    };
    const Case cases[] = {
        {"empty", "", TextEncoding::kUtf8},
        {"ascii", "f(a).\r\n", TextEncoding::kUtf8},
        {"utf-8", "Z\xC3\xBCrich", TextEncoding::kUtf8},
        {"long utf-8", euros, TextEncoding::kUtf8},
        {"bom", "\xEF\xBB\xBFx", TextEncoding::kUtf8Bom},
        {"bom only", "\xEF\xBB\xBF", TextEncoding::kUtf8Bom},
        {"two bytes", "ab", TextEncoding::kUtf8},
        {"utf-16le", std::string("\xFF\xFEx\0", 4), TextEncoding::kOther},
        {"utf-16be", std::string("\xFE\xFF\0x", 4), TextEncoding::kOther},
        {"windows-1252", "Z\xFCrich", TextEncoding::kOther},
        {"late stray byte", euros + "\xE9", TextEncoding::kOther},
        {"cut character", "ab\xE2\x82", TextEncoding::kOther},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteText(m_folder.File("f"), c.bytes);
        bool regular = false;
        int err = 0;
        const int fd = OpenForReading(m_folder.File("f"), regular, err);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(regular);
        TextEncoding encoding = TextEncoding::kOther;
        EXPECT_TRUE(ScanTextEncoding(fd, encoding, err));
        EXPECT_EQ(encoding, c.encoding);
        ::close(fd);
    }
}

// A pipe hands its bytes over in pieces; the head is judged whole.
TEST_F(FileReadingTest, ScanWaitsForTheWholeHead) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "\xEF", 1), 1);
    std::thread writer([&] {
        usleep(20000);
        EXPECT_EQ(write(fds[1], "\xBB\xBFx", 3), 3);
        close(fds[1]);
    });
    TextEncoding encoding = TextEncoding::kOther;
    int err = 0;
    EXPECT_TRUE(ScanTextEncoding(fds[0], encoding, err));
    writer.join();
    close(fds[0]);
    EXPECT_EQ(encoding, TextEncoding::kUtf8Bom);
}

TEST_F(FileReadingTest, OpenForReadingRefusesFolders) {
    bool regular = true;
    int err = 0;
    EXPECT_EQ(OpenForReading(m_folder.Path(), regular, err), -1);
    EXPECT_EQ(err, EISDIR);
    EXPECT_EQ(OpenForReading(m_folder.File("missing"), regular, err), -1);
    EXPECT_EQ(err, ENOENT);
    const int fd = OpenForReading("/dev/null", regular, err);
    ASSERT_GE(fd, 0);
    EXPECT_FALSE(regular);
    ::close(fd);
}

}  // namespace
}  // namespace fileio
