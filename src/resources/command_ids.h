// Command numbers, resource numbers and window ids of the program.
//
// A command number names one user action wherever it is offered (main menu,
// context menu, tray menu, toolbar drop-downs, accelerators) and indexes the
// string table, whose entry of the same number holds the action's status-bar
// prompt and tooltip.  The numbers are fixed: settings and menus refer to
// them, so they never change.
#pragma once

namespace resources {

// ---- File menu ----
inline constexpr int kCmdFileNew = 57600;
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileSave = 57603;
inline constexpr int kCmdFileSaveAs = 57604;
inline constexpr int kCmdFilePrint = 57607;         // Ctrl+P
inline constexpr int kCmdFilePrintDirect = 57608;   // print without the print dialog
inline constexpr int kCmdFilePrintPreview = 57609;  // print preview
inline constexpr int kCmdFileImportCsv = 32804;
inline constexpr int kCmdFileImportTdf = 32805;
inline constexpr int kCmdFileExportCsv = 32806;
inline constexpr int kCmdFileExportTdf = 32807;
// vCard import and export (numbers 32920 to 32929 are kept for vCard).
inline constexpr int kCmdFileImportVCard = 32920;
inline constexpr int kCmdFileExportVCard = 32921;
// Edit menu: the selected entries to the clipboard as vCards (Ctrl+Shift+C),
// and the vCards on the clipboard added as entries (Ctrl+V).
inline constexpr int kCmdEditCopyAsVCard = 32922;
inline constexpr int kCmdEditPaste = 32923;
// Recent-file entries: kCmdFileMruFirst + n for the (n+1)-th most recent book.
inline constexpr int kCmdFileMruFirst = 57616;
inline constexpr int kMaxRecentFiles = 16;
inline constexpr int kCmdFileMruLast = kCmdFileMruFirst + kMaxRecentFiles - 1;  // 57631

// ---- Edit menu ----
inline constexpr int kCmdEditFind = 57636;
inline constexpr int kCmdEditFindNext = 32813;
inline constexpr int kCmdPreferences = 32809;
inline constexpr int kCmdQuickFindFocus = 32814;  // Alt+F3: focus the quick-find box
inline constexpr int kCmdEditUndo = 32900;        // undo the last change to the entries
inline constexpr int kCmdEditRedo = 32901;
inline constexpr int kCmdEditSelectAll = 32902;  // Ctrl+A: select every row of the list

// ---- Address menu ----
inline constexpr int kCmdAddressAdd = 32773;
inline constexpr int kCmdAddressEdit = 32774;
inline constexpr int kCmdAddressDelete = 32775;
inline constexpr int kCmdAddressCopy = 32776;
// Finds entries that probably describe the same person and merges them.
inline constexpr int kCmdAddressFindDuplicates = 32903;
inline constexpr int kCmdDialHome = 32822;
inline constexpr int kCmdDialWork = 32823;
inline constexpr int kCmdDialCellular = 32824;
inline constexpr int kCmdDialPager = 32825;
inline constexpr int kCmdDialFax = 32826;
inline constexpr int kCmdEmail1 = 32827;
inline constexpr int kCmdEmail2 = 32828;
inline constexpr int kCmdWeb1 = 32829;
inline constexpr int kCmdWeb2 = 32830;
// Toolbar buttons that drop down the Dial, Email and Web menus.
inline constexpr int kCmdDialMenu = 32831;
inline constexpr int kCmdEmailMenu = 32832;
inline constexpr int kCmdWebMenu = 32833;

// ---- View menu ----
inline constexpr int kCmdViewToolbar = 59392;
inline constexpr int kCmdViewStatusBar = 59393;
inline constexpr int kCmdViewFlatToolbar = 32771;
inline constexpr int kCmdSaveWindowSize = 32817;
inline constexpr int kCmdSaveColumnWidths = 32818;
inline constexpr int kCmdSaveColumnPositions = 32772;

// ---- Help menu and application ----
inline constexpr int kCmdHelpTopics = 57666;
inline constexpr int kCmdAppAbout = 57664;
inline constexpr int kCmdAppExit = 57665;

// ---- Synchronization with a CardDAV address book (32950 onward) ----
inline constexpr int kCmdFileSynchronize = 32950;  // File / Synchronize...

// ---- Tray menu ----
inline constexpr int kCmdTrayShow = 32819;
inline constexpr int kCmdTrayExit = 32820;

// Every command number above except the recent-file entries, which are the
// range kCmdFileMruFirst .. kCmdFileMruLast.
inline constexpr int kAllCommands[] = {
    kCmdFileNew,
    kCmdFileOpen,
    kCmdFileSave,
    kCmdFileSaveAs,
    kCmdFilePrint,
    kCmdFilePrintDirect,
    kCmdFilePrintPreview,
    kCmdFileImportCsv,
    kCmdFileImportTdf,
    kCmdFileExportCsv,
    kCmdFileExportTdf,
    kCmdFileImportVCard,
    kCmdFileExportVCard,
    kCmdEditCopyAsVCard,
    kCmdEditPaste,
    kCmdEditFind,
    kCmdEditFindNext,
    kCmdEditUndo,
    kCmdEditRedo,
    kCmdEditSelectAll,
    kCmdPreferences,
    kCmdQuickFindFocus,
    kCmdAddressAdd,
    kCmdAddressEdit,
    kCmdAddressDelete,
    kCmdAddressCopy,
    kCmdAddressFindDuplicates,
    kCmdDialHome,
    kCmdDialWork,
    kCmdDialCellular,
    kCmdDialPager,
    kCmdDialFax,
    kCmdEmail1,
    kCmdEmail2,
    kCmdWeb1,
    kCmdWeb2,
    kCmdDialMenu,
    kCmdEmailMenu,
    kCmdWebMenu,
    kCmdViewToolbar,
    kCmdViewStatusBar,
    kCmdViewFlatToolbar,
    kCmdSaveWindowSize,
    kCmdSaveColumnWidths,
    kCmdSaveColumnPositions,
    kCmdHelpTopics,
    kCmdAppAbout,
    kCmdAppExit,
    kCmdTrayShow,
    kCmdTrayExit,
    kCmdFileSynchronize,
};

// ---- Messages and system commands ----
// Private message the tray icon sends to the main window.
inline constexpr int kMsgTrayNotify = 32868;
// The window menu's Minimize command, which the main window may turn into
// hiding in the tray.
inline constexpr int kSysCmdMinimize = 61472;

// ---- Resource numbers ----
inline constexpr int kMenuMain = 128;     // main menu, with the accelerators below
inline constexpr int kAccelMain = 128;    // accelerator table
inline constexpr int kMenuTray = 144;     // tray pop-up, then Dial, Email, Web drop-downs
inline constexpr int kMenuContext = 145;  // the address list's context menu
inline constexpr int kIconMain = 128;     // application icon
inline constexpr int kBitmapToolbar = 128;
inline constexpr int kCursorHand = 130;  // pointing hand over links
inline constexpr int kDlgAbout = 100;
inline constexpr int kDlgSelectFields = 135;
inline constexpr int kDlgColumnOrder = 136;
inline constexpr int kDlgFind = 137;
inline constexpr int kDlgColumnWidths = 139;
inline constexpr int kDlgGeneralSettings = 141;
inline constexpr int kDlgEmptyItem = 146;

// ---- Window ids ----
inline constexpr int kIdToolbar = 59392;
inline constexpr int kIdStatusBar = 59393;
inline constexpr int kIdQuickFindCombo = 129;
inline constexpr int kIndicatorCaps = 59137;
inline constexpr int kIndicatorNum = 59138;
inline constexpr int kIndicatorScroll = 59139;
inline constexpr int kIndicatorClock = 59142;

}  // namespace resources
