#include "settings/settings_keys.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "addressbook/field_table.h"
#include "settings/ini_file.h"
#include "support/temp_folder.h"

namespace settings {
namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// Two constants may name one key only where the key deliberately has two
// defaults; any other clash is a spelling mistake (the file matches keys
// without regard to case).
TEST(SettingsKeysTest, EveryKeyIsNamedOnceAndWritable) {
    std::map<std::pair<std::string, std::string>, int> seen;
    for (const SettingInfo& info : kAllSettings) {
        SCOPED_TRACE(std::string(info.section) + "/" + std::string(info.key));
        EXPECT_TRUE(IniFile::IsValidSectionName(info.section));
        EXPECT_TRUE(IniFile::IsValidKeyName(info.key));
        ++seen[{Lower(info.section), Lower(info.key)}];
    }
    for (const auto& [name, count] : seen) {
        bool twoDefaults = name == std::pair<std::string, std::string>{"preferences", "defaultweb"};
        EXPECT_EQ(count, twoDefaults ? 2 : 1) << name.first << "/" << name.second;
    }
}

// The column of each field is read and written under keys of one stem in
// both sections, in the order the settings file has always listed them.
TEST(SettingsKeysTest, ImportAndExportKeysFollowTheFileOrder) {
    const char* const stems[kMappedFieldCount] = {
        "Address1", "Address2",  "CellPhone", "City",      "Country", "Email1",   "Email2",
        "FaxPhone", "FaxExt",    "Firstname", "HomePhone", "HomeExt", "Lastname", "MI",
        "Notes",    "Pager",     "PagerCard", "PagerExt",  "State",   "Title",    "Web1",
        "Web2",     "WorkPhone", "WorkExt",   "Zip",       "CellExt", "Comp",     "Dept",
        "Posn",     "Mgr",       "CAdd1",     "CAdd2"};
    for (int k = 0; k < kMappedFieldCount; ++k) {
        SCOPED_TRACE(stems[k]);
        const IntSetting import = ImportColumn(addressbook::kImportKeyOrder[k]);
        const IntSetting exported = ExportColumn(addressbook::kExportKeyOrder[k]);
        EXPECT_EQ(import.key, "Import" + std::string(stems[k]));
        EXPECT_EQ(exported.key, "Export" + std::string(stems[k]));
        EXPECT_EQ(import.section, "Import");
        EXPECT_EQ(exported.section, "Export");
        EXPECT_EQ(import.defaultValue, 0);
    }
}

// With no settings file the program starts with the recent list on with two
// slots, the last book not reopened, the window shown, a flat toolbar and
// every Remember switch on; the Preferences sheet shows "http://" as the Web
// default.
TEST(SettingsKeysTest, NoFileGivesTheFirstRunState) {
    testsupport::TempFolder folder;
    SettingsStore store(folder.File("none.INI"));
    struct Case {
        IntSetting setting;
        int expected;
    };
    const Case cases[] = {
        {kUseMRU, 1},        {kNumMRU, 2},        {kUseLastBook, 0},     {kStartMinimized, 0},
        {kFlatbar, 1},       {kConfirmDelete, 1}, {kRememberSort, 1},    {kRememberCol, 1},
        {kRememberPos, 1},   {kRememberImp, 1},   {kRememberExp, 1},     {kRememberWin, 1},
        {kRememberTray, 1},  {kPreviewPages, 0},  {ImportColumn(31), 0}, {kImportFirstLineNames, 0},
        {kExportRfc4180, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting.key);
        EXPECT_EQ(Read(store, c.setting), c.expected);
    }
    EXPECT_EQ(Read(store, kDefaultWeb), "");
    EXPECT_EQ(Read(store, kDefaultWebInSheet), "http://");

    // Pressing OK in the sheet stores what it showed; the start-up reader
    // then sees it.
    ASSERT_TRUE(Write(store, kDefaultWebInSheet, Read(store, kDefaultWebInSheet)));
    EXPECT_EQ(Read(store, kDefaultWeb), "http://");
}

}  // namespace
}  // namespace settings
