// Noticing that another program changed a file since the window's own open
// or save.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "fileio/atomic_file.h"
#include "fileio/file_stamp.h"
#include "support/temp_folder.h"

namespace fileio {
namespace {

using testsupport::WriteText;

TEST(FileStamp, ChangesThatCountAndThoseThatDoNot) {
    testsupport::TempFolder folder;
    const std::string path = folder.File("book.qxd");
    struct Case {
        const char* what;
        std::function<void()> change;
        bool changed;
    };
    const Case cases[] = {
        {"nothing done", [] {}, false},
        {"read only",
         [&] {
             std::ifstream in(path);
             std::string text;
             in >> text;
         },
         false},
        {"rewritten in place, longer", [&] { WriteText(path, "contact('A' = \"xy\").\n"); }, true},
        {"same length, new modification time",
         [&] {
             struct timespec times[2] = {{0, UTIME_OMIT}, {12345, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
         },
         true},
        // A safe writer renames a new file over the old one: a new inode,
        // even when length and content are the same.
        {"renamed over with the same text",
         [&] {
             AtomicFileWriter writer;
             ASSERT_TRUE(writer.Open(path));
             ASSERT_TRUE(writer.Write("contact('A' = \"x\").\n"));
             ASSERT_TRUE(writer.Commit());
         },
         true},
        {"deleted", [&] { ASSERT_EQ(std::remove(path.c_str()), 0); }, false},
    };
    for (const Case& c : cases) {
        WriteText(path, "contact('A' = \"x\").\n");
        const FileStamp before = StampOf(path);
        ASSERT_TRUE(before.exists);
        c.change();
        EXPECT_EQ(ChangedSince(before, path), c.changed) << c.what;
    }
    EXPECT_FALSE(StampOf(folder.File("missing.qxd")).exists);
}

}  // namespace
}  // namespace fileio
