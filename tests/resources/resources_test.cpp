// The string table, "%1" formatting, the completeness of command prompts
// and the menus.
#include <gtest/gtest.h>

#include <cctype>
#include <span>
#include <string>
#include <vector>

#include "resources/command_ids.h"
#include "resources/menus.h"
#include "resources/string_table.h"

namespace {

using resources::LoadString;

struct StringCase {
    int id;
    std::string_view text;
};

// A label, a framework text, a prompt with its tooltip, a parse message, no text.
TEST(StringTable, LooksUpEachKindOfEntry) {
    const StringCase cases[] = {
        {130, "Last Name"},
        {61699, "Save changes to %1?"},
        {resources::kStrParseIntRange, "Please enter an integer between %1 and %2."},
        {32773, "Add a New Address\nAdd"},
        {173, ""},
    };
    for (const StringCase& c : cases) {
        EXPECT_EQ(LoadString(c.id), c.text) << c.id;
    }
}

TEST(StringTable, SplitsPromptAndTooltip) {
    EXPECT_EQ(resources::CommandPrompt(32773), "Add a New Address");
    EXPECT_EQ(resources::CommandTooltip(32773), "Add");
    EXPECT_EQ(resources::CommandPrompt(resources::kCmdFileMruFirst), "Open this address book");
    EXPECT_EQ(resources::CommandTooltip(resources::kCmdFileMruFirst), "");
}

TEST(StringTable, EveryCommandHasPromptAndTooltip) {
    for (int id : resources::kAllCommands) {
        EXPECT_FALSE(resources::CommandPrompt(id).empty()) << id;
        EXPECT_FALSE(resources::CommandTooltip(id).empty()) << id;
    }
    for (int id = resources::kCmdFileMruFirst; id <= resources::kCmdFileMruLast; ++id) {
        EXPECT_FALSE(resources::CommandPrompt(id).empty()) << id;
    }
}

// Every command that a menu or an accelerator can send is a known command.
void CollectCommands(std::span<const resources::MenuItem> items, std::vector<int>& out) {
    for (const auto& item : items) {
        if (item.kind == resources::MenuItemKind::kCommand) {
            out.push_back(item.command);
        }
        CollectCommands(item.items, out);
    }
}

TEST(StringTable, MenusAndAcceleratorsSendKnownCommands) {
    std::vector<int> ids;
    for (int menu : {resources::kMenuMain, resources::kMenuTray, resources::kMenuContext}) {
        CollectCommands(resources::LoadMenu(menu), ids);
    }
    for (const auto& accel : resources::MainAccelerators()) {
        ids.push_back(accel.command);
    }
    for (int id : resources::MainToolbarButtons()) {
        if (id != 0) {
            ids.push_back(id);
        }
    }
    EXPECT_GT(ids.size(), 60u);
    for (int id : ids) {
        EXPECT_FALSE(resources::CommandPrompt(id).empty()) << id;
    }
}

TEST(FormatString, FillsNumberedPlaceholders) {
    struct Case {
        std::string_view format;
        std::string_view first;
        std::string_view second;
        std::string expected;
    };
    const Case cases[] = {
        {"%2 before %1", "a", "b", "b before a"},
        {"%1%1", "x", "", "xx"},
        {"%3 has no argument", "a", "", "%3 has no argument"},
        {"100% sure, %d", "a", "", "100% sure, %d"},
        {"trailing %", "", "", "trailing %"},
        {"%1", "%2", "", "%2"},  // an argument is not expanded again
    };
    for (const Case& c : cases) {
        EXPECT_EQ(resources::FormatString(c.format, {c.first, c.second}), c.expected) << c.format;
    }
}

// What the window relies on: a grayed recent-file placeholder, the tray's
// default Show, the dial order, the quick find's toolbar slot.
TEST(Menus, TablesHoldWhatTheWindowReliesOn) {
    const resources::MenuItem* recent =
        resources::FindMenuCommand(resources::kMenuMain, resources::kCmdFileMruFirst);
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->flags & resources::kMenuGrayed);
    auto tray = resources::LoadMenu(resources::kMenuTray);
    ASSERT_EQ(tray.size(), 4u);
    EXPECT_TRUE(tray[0].items[0].flags & resources::kMenuDefault);
    ASSERT_EQ(tray[1].items.size(), 5u);
    EXPECT_EQ(tray[1].items[2].command, resources::kCmdDialPager);
    EXPECT_EQ(tray[1].items[4].command, resources::kCmdDialCellular);
    EXPECT_TRUE(resources::LoadMenu(999).empty());
    EXPECT_EQ(resources::MainToolbarButtons()[resources::kQuickFindSlot], 0);
}

// Lists the items of `items` and their pop-ups whose letter after "&" an
// earlier item of the same pop-up has: Alt and that letter misses them.
void CollectMnemonicClashes(std::span<const resources::MenuItem> items, std::string_view popup,
                            std::vector<std::string>& clashes) {
    std::string seen;
    for (const resources::MenuItem& item : items) {
        const std::size_t amp = item.text.find('&');
        if (amp != std::string_view::npos && amp + 1 < item.text.size()) {
            const char letter = static_cast<char>(std::tolower(item.text[amp + 1]));
            if (seen.find(letter) != std::string::npos) {
                clashes.push_back(std::string(popup) + ": " + std::string(item.text));
            }
            seen += letter;
        }
        if (item.kind == resources::MenuItemKind::kPopup) {
            CollectMnemonicClashes(item.items, item.text, clashes);
        }
    }
}

// Two clashes are kept because the items were asked for with exactly these
// names: the export menu's vCard item and Find Duplicates beside Delete.
TEST(Menus, MnemonicsAreUniqueWithinEachMenu) {
    std::vector<std::string> clashes;
    for (int menu : {resources::kMenuMain, resources::kMenuTray, resources::kMenuContext}) {
        CollectMnemonicClashes(resources::LoadMenu(menu), "", clashes);
    }
    EXPECT_EQ(clashes,
              (std::vector<std::string>{"&Export: v&Card...", "&Address: Find &Duplicates..."}));
}

}  // namespace
