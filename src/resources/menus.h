// Menus, accelerators, toolbar buttons and status-bar panes as data.
//
// A menu is a list of items; an item is a command (text and command number),
// a separator, or a pop-up with its own list of items.  Item texts are exact:
// "&" marks the mnemonic letter and the text after a tab is the key name shown
// at the right of the item.  The window layer builds real menus from these
// tables; the tables themselves need no toolkit.
#pragma once

#include <span>
#include <string_view>

namespace resources {

enum class MenuItemKind : unsigned char { kCommand, kSeparator, kPopup };

// Item flags.
inline constexpr unsigned kMenuGrayed = 1u;   // shown disabled until a command-state update
inline constexpr unsigned kMenuDefault = 2u;  // the menu's default item (drawn bold)

struct MenuItem {
    MenuItemKind kind;
    std::string_view text;            // empty for separators
    int command;                      // commands only; 0 otherwise
    std::span<const MenuItem> items;  // pop-ups only
    unsigned flags;
};

// The top-level items of menu resource `id` (kMenuMain, kMenuTray,
// kMenuContext); empty for an unknown number.
//  - kMenuMain: the menu bar: File, Edit, Address, View, Help.
//  - kMenuTray: four pop-ups: the tray menu, then the Dial, Email and Web
//    drop-downs of the toolbar.
//  - kMenuContext: one pop-up, the address list's context menu.
std::span<const MenuItem> LoadMenu(int id);

// The first command item with number `command` in menu `menuId` (searched
// depth first), or nullptr.
const MenuItem* FindMenuCommand(int menuId, int command);

// One accelerator: key names as a toolkit's key-sequence parser reads them
// ("Ctrl+N", "Alt+F3", "Ins", "Del", "Enter", "F1").  "Enter" stands for both
// the main Enter key and the keypad's.
struct Accelerator {
    std::string_view keys;
    int command;
};

// Accelerator table kAccelMain.
std::span<const Accelerator> MainAccelerators();

// The main toolbar's 18 slots in order; 0 is a separator.  Slot 9 is the
// separator that the quick-find box replaces.
std::span<const int> MainToolbarButtons();
inline constexpr int kQuickFindSlot = 9;
inline constexpr int kQuickFindWidth = 160;

// The status bar's panes in order: 0 (the message pane), then the CAP, NUM
// and SCRL indicators and the clock; each pane's initial text is the string
// of its number.
std::span<const int> StatusBarPanes();

}  // namespace resources
