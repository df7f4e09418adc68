#include "fileio/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "support/temp_folder.h"

namespace fileio {
namespace {

using testsupport::LetterPattern;
using testsupport::Mode;
using testsupport::ReadText;
using testsupport::TempFolder;
using testsupport::WriteText;

class AtomicFileTest : public ::testing::Test {
protected:
    void TearDown() override { AtomicFileWriter::SetFailAfterBytesForTesting(-1); }
    TempFolder m_folder;
};

TEST_F(AtomicFileTest, WritesNewAndReplacesExistingFiles) {
    const std::string path = m_folder.File("book.qxd");
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "first\n", &error)) << error;
    EXPECT_EQ(ReadText(path), "first\n");
    ASSERT_TRUE(WriteFileAtomically(path, "second, longer\n", &error)) << error;
    EXPECT_EQ(ReadText(path), "second, longer\n");
    ASSERT_TRUE(WriteFileAtomically(path, "", &error)) << error;
    EXPECT_EQ(ReadText(path), "");
    EXPECT_EQ(m_folder.Names(), std::set<std::string>{"book.qxd"});
}

TEST_F(AtomicFileTest, ManySmallWritesAndOneLargeWriteAddUp) {
    const std::string path = m_folder.File("big");
    const std::string big = LetterPattern(300000);  // several times the write buffer
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    for (std::size_t i = 0; i < 100000; i += 1000) {
        ASSERT_TRUE(writer.Write(std::string_view(big).substr(i, 1000)));
    }
    ASSERT_TRUE(writer.Write(std::string_view(big).substr(100000)));
    ASSERT_TRUE(writer.Commit()) << writer.ErrorText();
    EXPECT_EQ(ReadText(path), big);
}

// A disk that fills up after N bytes: the old file stays whole and no
// temporary file is left, whatever N is.
TEST_F(AtomicFileTest, FullDiskLeavesOldFile) {
    const std::string path = m_folder.File("settings.INI");
    const std::string old = "[Preferences]\nUseMRU=1\n";
    const std::string replacement = LetterPattern(200000);
    const long long cases[] = {0, 1, 100, 65535, 65536, 65537, 199999};
    for (long long failAfter : cases) {
        SCOPED_TRACE(failAfter);
        WriteText(path, old);
        AtomicFileWriter::SetFailAfterBytesForTesting(failAfter);
        std::string error;
        EXPECT_FALSE(WriteFileAtomically(path, replacement, &error));
        EXPECT_EQ(error, strerror(ENOSPC));
        EXPECT_EQ(ReadText(path), old);
        EXPECT_EQ(m_folder.Names(), std::set<std::string>{"settings.INI"});
    }
    // Exactly enough room succeeds.
    AtomicFileWriter::SetFailAfterBytesForTesting(static_cast<long long>(replacement.size()));
    EXPECT_TRUE(WriteFileAtomically(path, replacement));
    EXPECT_EQ(ReadText(path), replacement);
}

TEST_F(AtomicFileTest, FailedWriteReportsUntilCommitAndCommitRefuses) {
    const std::string path = m_folder.File("f");
    WriteText(path, "old");
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    AtomicFileWriter::SetFailAfterBytesForTesting(10);
    EXPECT_FALSE(writer.Write(LetterPattern(100000)));
    EXPECT_FALSE(writer.Write("more"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(writer.ErrorNumber(), ENOSPC);
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(m_folder.Names(), std::set<std::string>{"f"});
}

TEST_F(AtomicFileTest, UncommittedWriterLeavesOldFileAndNoTemporary) {
    const std::string path = m_folder.File("f");
    WriteText(path, "old");
    {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(path));
        ASSERT_TRUE(writer.Write("new"));
        EXPECT_EQ(m_folder.Names().size(), 2u);  // the temporary beside the target
    }
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(m_folder.Names(), std::set<std::string>{"f"});

    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    writer.Discard();
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(m_folder.Names(), std::set<std::string>{"f"});
}

TEST_F(AtomicFileTest, MissingFolderFails) {
    const std::string path = m_folder.File("no/such/folder/f");
    AtomicFileWriter writer;
    EXPECT_FALSE(writer.Open(path));
    EXPECT_EQ(writer.ErrorNumber(), ENOENT);
    // The reason alone: the caller names the file.
    EXPECT_EQ(writer.ErrorText(), strerror(ENOENT));
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "x", &error));
    EXPECT_FALSE(error.empty());
}

TEST_F(AtomicFileTest, SymbolicLinkIsKeptAndItsTargetReplaced) {
    struct Case {
        const char* name;
        bool relative;
    };
    for (const Case& c : {Case{"relative", true}, Case{"absolute", false}}) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        std::filesystem::create_directory(folder.File("real"));
        const std::string target = folder.File("real/settings.INI");
        const std::string link = folder.File("link.INI");
        WriteText(target, "old");
        std::filesystem::create_symlink(c.relative ? "real/settings.INI" : target, link);

        ASSERT_TRUE(WriteFileAtomically(link, "new"));
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_EQ(ReadText(target), "new");
        EXPECT_EQ(folder.Names(), (std::set<std::string>{"link.INI", "real"}));
        auto inReal = std::filesystem::directory_iterator(folder.File("real"));
        EXPECT_EQ(std::distance(inReal, {}), 1);  // no temporary left beside the target
    }
}

TEST_F(AtomicFileTest, MayReplaceRefusesReadOnlyFiles) {
    struct Case {
        const char* name;
        bool exists;
        unsigned mode;
        bool may;
    };
    const Case cases[] = {
        {"missing", false, 0, true},          {"owner writes", true, 0600, true},
        {"group writes", true, 0464, true},   {"read-only", true, 0444, false},
        {"no permission", true, 0000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = m_folder.File(c.name);
        if (c.exists) {
            WriteText(path, "x");
            ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        }
        EXPECT_EQ(MayReplace(path), c.may);
    }
}

TEST_F(AtomicFileTest, PermissionsAreKept) {
    for (const unsigned mode : {0600u, 0640u, 0644u, 0604u}) {
        SCOPED_TRACE(mode);
        const std::string path = m_folder.File("f");
        WriteText(path, "old");
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(path, "new"));
        EXPECT_EQ(Mode(path), mode);
    }
}

TEST_F(AtomicFileTest, NewFileGetsUsualPermissions) {
    struct Case {
        mode_t umask;
        unsigned mode;
    };
    for (const Case& c : {Case{022, 0644}, Case{027, 0640}, Case{077, 0600}, Case{0, 0666}}) {
        SCOPED_TRACE(c.umask);
        const std::string path = m_folder.File("fresh");
        std::filesystem::remove(path);
        const mode_t old = umask(c.umask);
        ASSERT_TRUE(WriteFileAtomically(path, "x"));
        umask(old);
        EXPECT_EQ(Mode(path), c.mode);
    }
}

// Other threads create files while a book is saved; the writer must never
// change the process umask under them, not even for a moment.
TEST_F(AtomicFileTest, UmaskStaysAsItIsForOtherThreads) {
    const mode_t old = umask(022);
    std::atomic<bool> done = false;
    std::atomic<bool> changed = false;
    std::thread watcher([&] {
        while (!done) {
            if (umask(022) != 022) {
                changed = true;
            }
        }
    });
    for (int i = 0; i < 3000 && !changed; ++i) {
        AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(m_folder.File("new" + std::to_string(i % 10))));
        writer.Discard();
    }
    done = true;
    watcher.join();
    umask(old);
    EXPECT_FALSE(changed);
}

// When the replacement cannot take the old file's permissions the save
// fails, rather than leaving a book readable by others that was private.
TEST_F(AtomicFileTest, PermissionsThatCannotBeSetFailTheWrite) {
    const std::string path = m_folder.File("private.qxd");
    WriteText(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    AtomicFileWriter::SetFailModeChangeForTesting(true);
    AtomicFileWriter writer;
    const bool opened = writer.Open(path);
    AtomicFileWriter::SetFailModeChangeForTesting(false);
    EXPECT_FALSE(opened);
    EXPECT_EQ(writer.ErrorNumber(), EPERM);
    EXPECT_FALSE(writer.Write("new"));
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(ReadText(path), "old");
    EXPECT_EQ(Mode(path), 0600u);
    EXPECT_EQ(m_folder.Names(), std::set<std::string>{"private.qxd"});
}

}  // namespace
}  // namespace fileio
