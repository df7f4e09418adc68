#include "resources/menus.h"

#include <iterator>

#include "resources/command_ids.h"

namespace resources {
namespace {

constexpr MenuItem Cmd(std::string_view text, int command, unsigned flags = 0) {
    return {MenuItemKind::kCommand, text, command, {}, flags};
}
constexpr MenuItem Sep() {
    return {MenuItemKind::kSeparator, {}, 0, {}, 0};
}
constexpr MenuItem Popup(std::string_view text, std::span<const MenuItem> items) {
    return {MenuItemKind::kPopup, text, 0, items, 0};
}

// ---- Pop-ups shared by several menus ----
constexpr MenuItem kDialItems[] = {
    Cmd("Home", kCmdDialHome), Cmd("Work", kCmdDialWork),         Cmd("Pager", kCmdDialPager),
    Cmd("Fax", kCmdDialFax),   Cmd("Cellular", kCmdDialCellular),
};
constexpr MenuItem kEmailItems[] = {Cmd("Address 1", kCmdEmail1), Cmd("Address 2", kCmdEmail2)};
constexpr MenuItem kWebItems[] = {Cmd("URL 1", kCmdWeb1), Cmd("URL 2", kCmdWeb2)};

// ---- kMenuMain: the main menu ----
constexpr MenuItem kImportItems[] = {Cmd("&Comma Delimited", kCmdFileImportCsv),
                                     Cmd("&Tab Delimited", kCmdFileImportTdf),
                                     Cmd("&vCard...", kCmdFileImportVCard)};
constexpr MenuItem kExportItems[] = {Cmd("&Comma Delimited", kCmdFileExportCsv),
                                     Cmd("&Tab Delimited", kCmdFileExportTdf),
                                     Cmd("v&Card...", kCmdFileExportVCard)};
constexpr MenuItem kFileItems[] = {
    Cmd("&New\tCtrl+N", kCmdFileNew),
    Cmd("&Open...\tCtrl+O", kCmdFileOpen),
    Cmd("&Save\tCtrl+S", kCmdFileSave),
    Cmd("Save &As...", kCmdFileSaveAs),
    Sep(),
    // Printing has a key (Ctrl+P) but no item in the original menu; without
    // these the preview could not be reached at all.
    Cmd("&Print...\tCtrl+P", kCmdFilePrint),
    Cmd("Print Pre&view", kCmdFilePrintPreview),
    Sep(),
    Popup("&Import", kImportItems),
    Popup("&Export", kExportItems),
    Cmd("S&ynchronize...", kCmdFileSynchronize),
    Sep(),
    Cmd("Recent File", kCmdFileMruFirst, kMenuGrayed),
    Sep(),
    Cmd("E&xit", kCmdAppExit),
};
constexpr MenuItem kEditItems[] = {
    Cmd("&Undo\tCtrl+Z", kCmdEditUndo),
    Cmd("&Redo\tCtrl+Y", kCmdEditRedo),
    Sep(),
    Cmd("Copy as v&Card\tCtrl+Shift+C", kCmdEditCopyAsVCard),
    Cmd("Pa&ste\tCtrl+V", kCmdEditPaste),
    Sep(),
    Cmd("Select &All\tCtrl+A", kCmdEditSelectAll),
    Sep(),
    Cmd("&Find...\tCtrl+F", kCmdEditFind),
    Cmd("Find &Next\tF3", kCmdEditFindNext),
    Sep(),
    Cmd("&Preferences...", kCmdPreferences),
};
constexpr MenuItem kAddressItems[] = {
    Cmd("&Add\tIns", kCmdAddressAdd),
    Cmd("&Edit\tEnter", kCmdAddressEdit),
    Cmd("&Delete\tDel", kCmdAddressDelete),
    Cmd("&Copy\tCtrl+C", kCmdAddressCopy),
    Sep(),
    Cmd("Find &Duplicates...", kCmdAddressFindDuplicates),
    Sep(),
    Popup("Dial", kDialItems),
    Popup("Email", kEmailItems),
    Popup("Web", kWebItems),
};
constexpr MenuItem kViewItems[] = {
    Cmd("&Toolbar", kCmdViewToolbar),
    Cmd("&Status Bar", kCmdViewStatusBar),
    Cmd("&Flat Toolbar", kCmdViewFlatToolbar),
    Sep(),
    Cmd("Save &Window Size", kCmdSaveWindowSize),
    Cmd("Save C&olumn Widths", kCmdSaveColumnWidths),
    Cmd("Save Column &Positions", kCmdSaveColumnPositions),
};
constexpr MenuItem kHelpItems[] = {
    Cmd("&Help Topics\tF1", kCmdHelpTopics),
    Sep(),
    Cmd("&About Quillbox", kCmdAppAbout),
};
constexpr MenuItem kMainMenu[] = {
    Popup("&File", kFileItems), Popup("&Edit", kEditItems), Popup("&Address", kAddressItems),
    Popup("&View", kViewItems), Popup("&Help", kHelpItems),
};

// ---- kMenuTray: tray menu and toolbar drop-downs ----
constexpr MenuItem kTrayItems[] = {
    Cmd("&Show", kCmdTrayShow, kMenuDefault),
    Sep(),
    Cmd("&Preferences", kCmdPreferences),
    Cmd("&About", kCmdAppAbout),
    Cmd("&Help", kCmdHelpTopics),
    Sep(),
    Cmd("E&xit", kCmdTrayExit),
};
constexpr MenuItem kTrayMenu[] = {
    Popup("_TM_", kTrayItems),
    Popup("Dial", kDialItems),
    Popup("Email", kEmailItems),
    Popup("Web", kWebItems),
};

// ---- kMenuContext: the address list's context menu ----
constexpr MenuItem kContextItems[] = {
    Cmd("&Find...", kCmdEditFind),
    Sep(),
    Cmd("&Add...", kCmdAddressAdd),
    Cmd("&Edit...", kCmdAddressEdit),
    Cmd("&Delete", kCmdAddressDelete),
    Cmd("&Copy", kCmdAddressCopy),
    Cmd("Copy as &vCard", kCmdEditCopyAsVCard),
    Cmd("Pa&ste", kCmdEditPaste),
    Sep(),
    Popup("Dial", kDialItems),
    Popup("Email", kEmailItems),
    Popup("Web", kWebItems),
    Sep(),
    Cmd("&Preferences...", kCmdPreferences),
};
constexpr MenuItem kContextMenu[] = {Popup("_CM_", kContextItems)};

// ---- kAccelMain: the accelerator table ----
constexpr Accelerator kAccelerators[] = {
    {"Ctrl+N", kCmdFileNew},       {"Ctrl+O", kCmdFileOpen},
    {"Ctrl+S", kCmdFileSave},      {"Ctrl+P", kCmdFilePrint},
    {"F1", kCmdHelpTopics},        {"Ctrl+F", kCmdEditFind},
    {"F3", kCmdEditFindNext},      {"Alt+F3", kCmdQuickFindFocus},
    {"Ins", kCmdAddressAdd},       {"Enter", kCmdAddressEdit},
    {"Del", kCmdAddressDelete},    {"Ctrl+C", kCmdAddressCopy},
    {"Ctrl+Z", kCmdEditUndo},      {"Ctrl+Y", kCmdEditRedo},
    {"Ctrl+A", kCmdEditSelectAll}, {"Ctrl+Shift+C", kCmdEditCopyAsVCard},
    {"Ctrl+V", kCmdEditPaste},
};

constexpr int kToolbarButtons[] = {
    kCmdFileNew,
    kCmdFileOpen,
    kCmdFileSave,
    0,
    kCmdAddressAdd,
    kCmdAddressEdit,
    kCmdAddressDelete,
    kCmdAddressCopy,
    0,
    0,
    kCmdEditFind,
    0,
    kCmdDialMenu,
    kCmdEmailMenu,
    kCmdWebMenu,
    kCmdPreferences,
    0,
    kCmdHelpTopics,
};
static_assert(std::size(kToolbarButtons) == 18);

constexpr int kStatusPanes[] = {0, kIndicatorCaps, kIndicatorNum, kIndicatorScroll,
                                kIndicatorClock};

const MenuItem* FindIn(std::span<const MenuItem> items, int command) {
    for (const MenuItem& item : items) {
        if (item.kind == MenuItemKind::kCommand && item.command == command) {
            return &item;
        }
        if (item.kind == MenuItemKind::kPopup) {
            if (const MenuItem* found = FindIn(item.items, command)) {
                return found;
            }
        }
    }
    return nullptr;
}

}  // namespace

std::span<const MenuItem> LoadMenu(int id) {
    switch (id) {
        case kMenuMain:
            return kMainMenu;
        case kMenuTray:
            return kTrayMenu;
        case kMenuContext:
            return kContextMenu;
        default:
            return {};
    }
}

const MenuItem* FindMenuCommand(int menuId, int command) {
    return FindIn(LoadMenu(menuId), command);
}

std::span<const Accelerator> MainAccelerators() {
    return kAccelerators;
}

std::span<const int> MainToolbarButtons() {
    return kToolbarButtons;
}

std::span<const int> StatusBarPanes() {
    return kStatusPanes;
}

}  // namespace resources
