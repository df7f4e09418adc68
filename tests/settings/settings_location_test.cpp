#include "settings/settings_location.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace settings {
namespace {

struct LocationCase {
    const char* name;
    std::string programPath;
    std::map<std::string, std::string> env;
    std::set<std::string> writableFolders;
    std::string expected;
    std::vector<std::string> expectedMadeFolders;
    bool makeFoldersFails = false;
};

TEST(SettingsLocationTest, Table) {
    const std::map<std::string, std::string> home = {{"HOME", "/home/ann"}};
    const LocationCase cases[] = {
        {"no extension",
         "/opt/quillbox/bin/quillbox",
         {},
         {"/opt/quillbox/bin"},
         "/opt/quillbox/bin/quillbox.INI",
         {}},
        {"extension replaced", "/x/quillbox.bin", {}, {"/x"}, "/x/quillbox.INI", {}},
        {"only the last extension", "/x/quill.box.exe", {}, {"/x"}, "/x/quill.box.INI", {}},
        {"dot in folder name is no extension",
         "/opt/q.d/quillbox",
         {},
         {"/opt/q.d"},
         "/opt/q.d/quillbox.INI",
         {}},
        {"leading dot is no extension", "/x/.quillbox", {}, {"/x"}, "/x/.quillbox.INI", {}},
        {"relative path", "quillbox", {}, {"."}, "quillbox.INI", {}},
        {"relative folder", "build/quillbox", {}, {"build"}, "build/quillbox.INI", {}},
        {"QUILLBOX_INI wins",
         "/x/quillbox",
         {{"QUILLBOX_INI", "/tmp/my.ini"}},
         {"/x"},
         "/tmp/my.ini",
         {}},
        {"empty QUILLBOX_INI ignored",
         "/x/quillbox",
         {{"QUILLBOX_INI", ""}},
         {"/x"},
         "/x/quillbox.INI",
         {}},
        {"read-only folder uses XDG_CONFIG_HOME",
         "/usr/bin/quillbox",
         {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/ann"}},
         {},
         "/cfg/quillbox/quillbox.INI",
         {"/cfg/quillbox"}},
        {"read-only folder without XDG uses ~/.config",
         "/usr/bin/quillbox.bin",
         home,
         {},
         "/home/ann/.config/quillbox/quillbox.INI",
         {"/home/ann/.config/quillbox"}},
        {"relative XDG_CONFIG_HOME ignored",
         "/usr/bin/quillbox",
         {{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/home/ann"}},
         {},
         "/home/ann/.config/quillbox/quillbox.INI",
         {"/home/ann/.config/quillbox"}},
        {"empty XDG_CONFIG_HOME ignored",
         "/usr/bin/quillbox",
         {{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/ann"}},
         {},
         "/home/ann/.config/quillbox/quillbox.INI",
         {"/home/ann/.config/quillbox"}},
        {"no home at all stays beside program",
         "/usr/bin/quillbox",
         {},
         {},
         "/usr/bin/quillbox.INI",
         {}},
        {"folder cannot be made stays beside program",
         "/usr/bin/quillbox",
         home,
         {},
         "/usr/bin/quillbox.INI",
         {"/home/ann/.config/quillbox"},
         true},
        {"QUILLBOX_INI wins over read-only folder",
         "/usr/bin/quillbox",
         {{"QUILLBOX_INI", "/etc/q.INI"}, {"HOME", "/home/ann"}},
         {},
         "/etc/q.INI",
         {}},
    };
    for (const LocationCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> made;
        SettingsLocationHooks hooks;
        hooks.getEnv = [&](const std::string& name) -> std::optional<std::string> {
            auto it = c.env.find(name);
            if (it == c.env.end()) {
                return std::nullopt;
            }
            return it->second;
        };
        hooks.isWritableFolder = [&](const std::string& folder) {
            return c.writableFolders.count(folder) > 0;
        };
        hooks.makeFolders = [&](const std::string& folder) {
            made.push_back(folder);
            return !c.makeFoldersFails;
        };
        EXPECT_EQ(SettingsFilePath(c.programPath, hooks), c.expected);
        EXPECT_EQ(made, c.expectedMadeFolders);
    }
}

TEST(SettingsLocationTest, SystemHooksCreateTheConfigFolder) {
    testsupport::TempFolder folder;
    SettingsLocationHooks hooks = SystemSettingsLocationHooks();
    EXPECT_TRUE(hooks.isWritableFolder(folder.Path()));
    const std::string nested = folder.File("a/b/quillbox");
    EXPECT_TRUE(hooks.makeFolders(nested));
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_TRUE(hooks.makeFolders(nested));  // already there
    testsupport::WriteText(folder.File("file"), "x");
    EXPECT_FALSE(hooks.makeFolders(folder.File("file/sub")));
    EXPECT_FALSE(hooks.isWritableFolder(folder.File("missing")));
}

}  // namespace
}  // namespace settings
