#include "settings/settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <set>
#include <string>

#include "fileio/atomic_file.h"
#include "support/temp_folder.h"

namespace settings {
namespace {

using testsupport::Mode;
using testsupport::ReadText;
using testsupport::TempFolder;
using testsupport::WriteText;

// Writes go through the atomic writer, whose own tests cover symbolic links
// and permissions.
class SettingsStoreTest : public ::testing::Test {
protected:
    void TearDown() override { fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1); }

    TempFolder m_folder;
    std::string m_path = m_folder.File("quillbox.INI");
};

TEST(ParseProfileIntTest, Table) {
    struct Case {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"12", 12},
        {"12abc", 12},
        {"abc", 0},
        {"-5", -5},
        {"+7", 7},
        {"-", 0},
        {"+", 0},
        {"--5", 0},
        {"- 5", 0},
        {"0x1F", 0},
        {"007", 7},
        {"3.9", 3},
        {"1,2,3", 1},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999999999999999", INT_MIN},
        {"00000000000000000000042", 42},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseProfileInt(c.text), c.expected);
    }
}

TEST_F(SettingsStoreTest, GetIntFromFile) {
    WriteText(m_path,
              "[Preferences]\nNumMRU=5\nUseMRU=0\nSortIndex=12abc\nFlatbar=abc\n"
              "Empty=\nNeg = -3 \nHuge=5000000000\n");
    struct Case {
        const char* key;
        int defaultValue;
        int expected;
    };
    const Case cases[] = {
        {"NumMRU", 2, 5},    {"nummru", 2, 5},    {"UseMRU", 1, 0}, {"SortIndex", 0, 12},
        {"Flatbar", 1, 0},   {"Empty", 7, 7},     {"Neg", 0, -3},   {"Huge", 0, INT_MAX},
        {"Missing", 42, 42}, {"Missing", -1, -1},
    };
    SettingsStore store(m_path);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(store.GetInt("Preferences", c.key, c.defaultValue), c.expected);
    }
    EXPECT_EQ(store.GetInt("Columns", "NumMRU", 9), 9);
}

TEST_F(SettingsStoreTest, MissingFileGivesDefaultsAndIsNotCreated) {
    SettingsStore store(m_path);
    EXPECT_EQ(store.Path(), m_path);
    EXPECT_EQ(store.GetInt("Preferences", "NumMRU", 2), 2);
    EXPECT_EQ(store.GetString("Preferences", "DefaultWeb", "http://"), "http://");
    EXPECT_EQ(store.GetString("Preferences", "DefaultWeb"), "");
    EXPECT_FALSE(std::filesystem::exists(m_path));
}

TEST_F(SettingsStoreTest, SetThenGetRoundTrips) {
    SettingsStore store(m_path);
    struct Case {
        int value;
        const char* text;
    };
    for (const Case& c : {Case{0, "0"}, Case{1, "1"}, Case{-17, "-17"}, Case{INT_MAX, "2147483647"},
                          Case{INT_MIN, "-2147483648"}}) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(store.SetInt("Preferences", "SortIndex", c.value));
        EXPECT_EQ(store.GetInt("Preferences", "SortIndex", 99), c.value);
        EXPECT_EQ(store.GetString("Preferences", "SortIndex"), c.text);
    }
    ASSERT_TRUE(store.SetString("AddressBookInUse", "File", "/home/m\xC3\xBC/Books/A B.qxd"));
    EXPECT_EQ(store.GetString("addressbookinuse", "file"), "/home/m\xC3\xBC/Books/A B.qxd");
    EXPECT_EQ(ReadText(m_path),
              "[Preferences]\nSortIndex=-2147483648\n\n"
              "[AddressBookInUse]\nFile=/home/m\xC3\xBC/Books/A B.qxd\n");
}

TEST_F(SettingsStoreTest, SetKeepsForeignLinesByteForByte) {
    const std::string before =
        "; Written by hand\n"
        "[Recent File List]\n"
        "File1=/books/friends.qxd\n"
        "File2=/books/work.qxd\n"
        "\n"
        "# a comment with = sign\n"
        "[Preferences]\n"
        "  UseMRU = 1\n"
        "NumMRU=2\n"
        "Unknown Key=keep me\n"
        "NumMRU=3\n"
        "\n"
        "[Plugin]\n"
        "weird line without equals\n"
        "Path=C:\\Program Files\\x\n";
    WriteText(m_path, before);
    SettingsStore store(m_path);
    ASSERT_TRUE(store.SetInt("PREFERENCES", "nummru", 8));
    std::string expected = before;
    expected.replace(expected.find("NumMRU=2"), 8, "NumMRU=8");
    EXPECT_EQ(ReadText(m_path), expected);
    EXPECT_EQ(store.GetInt("Preferences", "NumMRU", 0), 8);
}

TEST_F(SettingsStoreTest, StringsAreCutAt4095BytesOnCharacterBoundaries) {
    struct Case {
        const char* name;
        std::string value;
        std::size_t expectedSize;
    };
    const std::string e = "\xC3\xA9";              // two bytes
    const std::string euro = "\xE2\x82\xAC";       // three bytes
    const std::string emoji = "\xF0\x9F\x98\x80";  // four bytes
    const Case cases[] = {
        {"short", "abc", 3},
        {"4095 ASCII", std::string(4095, 'a'), 4095},
        {"4096 ASCII", std::string(4096, 'a'), 4095},
        {"100000 ASCII", std::string(100000, 'a'), 4095},
        {"two-byte character across the limit", std::string(4094, 'a') + e, 4094},
        {"two-byte character ending at the limit", std::string(4093, 'a') + e + "z", 4095},
        {"three-byte character across the limit", std::string(4093, 'a') + euro, 4093},
        {"four-byte character across the limit", std::string(4092, 'a') + emoji + "z", 4092},
        {"four-byte character ending at the limit", std::string(4091, 'a') + emoji + "z", 4095},
    };
    SettingsStore store(m_path);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(store.SetString("Preferences", "WindowPos", c.value));
        std::string read = store.GetString("Preferences", "WindowPos");
        EXPECT_EQ(read.size(), c.expectedSize);
        EXPECT_EQ(read, c.value.substr(0, c.expectedSize));
    }
    // The whole value stays in the file.
    EXPECT_NE(ReadText(m_path).find(std::string(4091, 'a') + emoji + "z"), std::string::npos);
}

TEST_F(SettingsStoreTest, FullDiskLeavesOldFile) {
    const std::string before =
        "[Preferences]\nNumMRU=2\n[Columns]\nSizes=" + std::string(5000, '1') + "\n";
    WriteText(m_path, before);
    SettingsStore store(m_path);
    for (long long failAfter : {0LL, 1LL, 20LL, 5000LL}) {
        SCOPED_TRACE(failAfter);
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(failAfter);
        EXPECT_FALSE(store.SetInt("Preferences", "NumMRU", 8));
        fileio::AtomicFileWriter::SetFailAfterBytesForTesting(-1);
        EXPECT_EQ(ReadText(m_path), before);
        EXPECT_EQ(m_folder.Names(), std::set<std::string>{"quillbox.INI"});
        EXPECT_EQ(store.GetInt("Preferences", "NumMRU", 0), 2);
    }
}

TEST_F(SettingsStoreTest, UnreadableFileIsNotOverwritten) {
    // A settings path that names a folder cannot be read; a write must not
    // replace it with a file holding one key.
    std::filesystem::create_directory(m_path);
    SettingsStore store(m_path);
    EXPECT_FALSE(store.SetInt("Preferences", "NumMRU", 8));
    EXPECT_TRUE(std::filesystem::is_directory(m_path));
    EXPECT_EQ(store.GetInt("Preferences", "NumMRU", 2), 2);
}

// A settings file the user made read-only keeps its values; only a change
// is refused, reading goes on.
TEST_F(SettingsStoreTest, ReadOnlyFileKeepsItsValues) {
    WriteText(m_path, "[S]\nK=1\n");
    ASSERT_EQ(chmod(m_path.c_str(), 0444), 0);
    SettingsStore store(m_path);
    EXPECT_FALSE(store.SetInt("S", "K", 2));
    EXPECT_FALSE(store.SetString("S", "New", "x"));
    EXPECT_TRUE(store.SetInt("S", "K", 1));  // nothing to change
    EXPECT_EQ(ReadText(m_path), "[S]\nK=1\n");
    EXPECT_EQ(Mode(m_path), 0444u);
    EXPECT_EQ(store.GetInt("S", "K", 0), 1);
    EXPECT_EQ(m_folder.Names(), std::set<std::string>{"quillbox.INI"});

    ASSERT_EQ(chmod(m_path.c_str(), 0644), 0);
    EXPECT_TRUE(store.SetInt("S", "K", 2));
    EXPECT_EQ(store.GetInt("S", "K", 0), 2);
}

TEST_F(SettingsStoreTest, SetIntoMissingFolderFails) {
    SettingsStore store(m_folder.File("gone/quillbox.INI"));
    EXPECT_FALSE(store.SetInt("Preferences", "NumMRU", 8));
}

TEST_F(SettingsStoreTest, InvalidInputIsRefusedAndFileKept) {
    WriteText(m_path, "[S]\nK=1\n");
    SettingsStore store(m_path);
    EXPECT_FALSE(store.SetString("S", "K", "x\n[Evil]\nK=2"));
    EXPECT_EQ(ReadText(m_path), "[S]\nK=1\n");
}

}  // namespace
}  // namespace settings
