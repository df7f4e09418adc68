// Noticing that another program changed a file since the window's own open
// or save when only its time or only its inode tells, but not a mere read.
// (The window's tests cover rewrites of another length and deleted files.)
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "fileio/atomic_file.h"
#include "fileio/file_stamp.h"
#include "support/temp_folder.h"

namespace fileio {
namespace {

TEST(FileStamp, ChangesThatCountAndThoseThatDoNot) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("book.qxd");
    const std::string text = "contact('A' = \"x\").\n";
    auto changedBy = [&](auto change) {
        testsupport::WriteText(path, text);
        const FileStamp before = StampOf(path);
        EXPECT_TRUE(before.exists);
        change();
        return ChangedSince(before, path);
    };
    EXPECT_FALSE(changedBy([&] { EXPECT_EQ(testsupport::ReadText(path), text); }));
    EXPECT_TRUE(changedBy([&] {  // the same length, a new modification time
        const struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }));
    // A safe writer renames a new file over the old one: a new inode, even
    // when length and content are the same.
    EXPECT_TRUE(changedBy([&] {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(path) && writer.Write(text) && writer.Commit());
    }));
}

}  // namespace
}  // namespace fileio
