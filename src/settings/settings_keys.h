// Every section and key of the settings file with the default its readers
// pass, so that no caller spells a key or a default twice.
//
// Booleans are integers: 0 is off, anything else on; the program writes 0 or
// 1.  Where two readers of one key pass different defaults, both constants
// exist: the difference is deliberate (see kDefaultWeb).
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace settings {

struct IntSetting {
    std::string_view section;
    std::string_view key;
    int defaultValue;
};

struct StringSetting {
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue;
};

inline int Read(const SettingsStore& store, const IntSetting& s) {
    return store.GetInt(s.section, s.key, s.defaultValue);
}
inline std::string Read(const SettingsStore& store, const StringSetting& s) {
    return store.GetString(s.section, s.key, s.defaultValue);
}
inline bool Write(SettingsStore& store, const IntSetting& s, int value) {
    return store.SetInt(s.section, s.key, value);
}
inline bool Write(SettingsStore& store, const StringSetting& s, std::string_view value) {
    return store.SetString(s.section, s.key, value);
}

// ---- Sections ----
inline constexpr std::string_view kPreferences = "Preferences";
inline constexpr std::string_view kColumns = "Columns";
inline constexpr std::string_view kImport = "Import";
inline constexpr std::string_view kExport = "Export";
inline constexpr std::string_view kAddressBookInUse = "AddressBookInUse";
inline constexpr std::string_view kRecentFileList = "Recent File List";
inline constexpr std::string_view kSettings = "Settings";

// ---- [Preferences] ----
// Reopen the last address book at start-up when no file is named.  An absent
// key is off, at start-up and in the Preferences sheet alike, so the sheet
// never promises a reopening that start-up does not do.
inline constexpr IntSetting kUseLastBook{kPreferences, "UseLastBook", 0};
// Start with the main window hidden and only the tray icon shown.
inline constexpr IntSetting kStartMinimized{kPreferences, "StartMinimized", 0};
// Keep a recent-address-book list on the File menu, with kNumMRU entries.
inline constexpr IntSetting kUseMRU{kPreferences, "UseMRU", 1};
inline constexpr IntSetting kNumMRU{kPreferences, "NumMRU", 2};
inline constexpr int kNumMRUMin = 1;
inline constexpr int kNumMRUMax = 8;
// Remember the last sort: column (0..31, anything else reads as 0) and
// direction (1 ascending, 0 descending).
inline constexpr IntSetting kRememberSort{kPreferences, "RememberSort", 1};
inline constexpr IntSetting kSortIndex{kPreferences, "SortIndex", 0};
inline constexpr int kSortIndexMax = 31;
inline constexpr IntSetting kSortDirection{kPreferences, "SortDirection", 1};
// Remember column widths, column order, import and export mappings, window
// placement.
inline constexpr IntSetting kRememberCol{kPreferences, "RememberCol", 1};
inline constexpr IntSetting kRememberPos{kPreferences, "RememberPos", 1};
inline constexpr IntSetting kRememberImp{kPreferences, "RememberImp", 1};
inline constexpr IntSetting kRememberExp{kPreferences, "RememberExp", 1};
inline constexpr IntSetting kRememberWin{kPreferences, "RememberWin", 1};
// The main window's placement: ten numbers.
inline constexpr StringSetting kWindowPos{kPreferences, "WindowPos", ""};
// Minimizing the main window hides it to the tray.
inline constexpr IntSetting kRememberTray{kPreferences, "RememberTray", 1};
inline constexpr IntSetting kFlatbar{kPreferences, "Flatbar", 1};
inline constexpr IntSetting kConfirmDelete{kPreferences, "ConfirmDelete", 1};
// "Add to currently selected address" in the empty-item dialog.
inline constexpr IntSetting kAddNewInfo{kPreferences, "AddNewInfo", 1};
// Data pre-filled into a new entry.
inline constexpr StringSetting kDefaultCity{kPreferences, "DefaultCity", ""};
inline constexpr StringSetting kDefaultState{kPreferences, "DefaultState", ""};
inline constexpr StringSetting kDefaultCountry{kPreferences, "DefaultCountry", ""};
inline constexpr StringSetting kDefaultZip{kPreferences, "DefaultZip", ""};
inline constexpr StringSetting kDefaultPrefix{kPreferences, "DefaultPrefix", ""};
inline constexpr StringSetting kDefaultComp{kPreferences, "DefaultComp", ""};
inline constexpr StringSetting kDefaultEmail{kPreferences, "DefaultEmail", ""};
// A new entry gets an empty Web 1 when the key is absent; the Preferences
// sheet shows an absent key as "http://".
inline constexpr StringSetting kDefaultWeb{kPreferences, "DefaultWeb", ""};
inline constexpr StringSetting kDefaultWebInSheet{kPreferences, "DefaultWeb", "http://"};

// ---- [Columns] ----
// 32 comma-separated integers by display position: widths, and the field
// shown at each position.  Empty means the built-in layout.
inline constexpr StringSetting kColumnSizes{kColumns, "Sizes", ""};
inline constexpr StringSetting kColumnOrder{kColumns, "Order", ""};

// ---- [Import] and [Export] ----
// One integer per field, in field index order: the 1-based column of the
// field in the delimited file, 0 when the field is not imported or exported.
inline constexpr int kMappedFieldCount = 32;
inline constexpr std::array<std::string_view, kMappedFieldCount> kImportKeys = {
    "ImportLastname",  "ImportFirstname", "ImportMI",      "ImportTitle",     "ImportAddress1",
    "ImportAddress2",  "ImportCity",      "ImportCountry", "ImportState",     "ImportZip",
    "ImportComp",      "ImportDept",      "ImportPosn",    "ImportMgr",       "ImportCAdd1",
    "ImportCAdd2",     "ImportHomePhone", "ImportHomeExt", "ImportWorkPhone", "ImportWorkExt",
    "ImportCellPhone", "ImportCellExt",   "ImportPager",   "ImportPagerCard", "ImportPagerExt",
    "ImportFaxPhone",  "ImportFaxExt",    "ImportEmail1",  "ImportEmail2",    "ImportWeb1",
    "ImportWeb2",      "ImportNotes"};
inline constexpr std::array<std::string_view, kMappedFieldCount> kExportKeys = {
    "ExportLastname",  "ExportFirstname", "ExportMI",      "ExportTitle",     "ExportAddress1",
    "ExportAddress2",  "ExportCity",      "ExportCountry", "ExportState",     "ExportZip",
    "ExportComp",      "ExportDept",      "ExportPosn",    "ExportMgr",       "ExportCAdd1",
    "ExportCAdd2",     "ExportHomePhone", "ExportHomeExt", "ExportWorkPhone", "ExportWorkExt",
    "ExportCellPhone", "ExportCellExt",   "ExportPager",   "ExportPagerCard", "ExportPagerExt",
    "ExportFaxPhone",  "ExportFaxExt",    "ExportEmail1",  "ExportEmail2",    "ExportWeb1",
    "ExportWeb2",      "ExportNotes"};
inline constexpr int kMappingDefault = 0;

// The setting holding the column of field `field` (0..31).
constexpr IntSetting ImportColumn(int field) {
    return {kImport, kImportKeys[static_cast<std::size_t>(field)], kMappingDefault};
}
constexpr IntSetting ExportColumn(int field) {
    return {kExport, kExportKeys[static_cast<std::size_t>(field)], kMappingDefault};
}

// The vCard version the last vCard export wrote, "3.0" or "4.0" (kept while
// "RememberExp" is on).
inline constexpr StringSetting kVCardVersion{kExport, "VCardVersion", "3.0"};
// ---- [Import] and [Export]: the check boxes of "Select Fields" ----
// Remembered with the column numbers, under "RememberImp" and "RememberExp".
// "First line holds column names": the import matches the first line's
// names and skips that line.
inline constexpr IntSetting kImportFirstLineNames{kImport, "ImportFirstLineNames", 0};
// "For spreadsheets (RFC 4180)": the export doubles quotes instead of
// escaping them.
inline constexpr IntSetting kExportRfc4180{kExport, "ExportRfc4180", 0};

// ---- [AddressBookInUse] ----
// Full path of the address book last opened or saved successfully.
inline constexpr StringSetting kBookInUse{kAddressBookInUse, "File", ""};

// ---- [Recent File List] and [Settings] ----
// Recent address books under "File1" .. "File<NumMRU>", newest first; read
// them with GetString(kRecentFileList, RecentFileKey(n)), default empty.
inline constexpr std::string_view kRecentFileKeyFormat = "File%d";
inline std::string RecentFileKey(int number) {
    return "File" + std::to_string(number);
}
// Pages the print preview last showed; written at exit when not 0.
inline constexpr IntSetting kPreviewPages{kSettings, "PreviewPages", 0};

// ---- The whole table ----
enum class SettingType { kInt, kString };

struct SettingInfo {
    std::string_view section;
    std::string_view key;
    SettingType type;
    int intDefault;
    std::string_view textDefault;
};

constexpr SettingInfo Info(const IntSetting& s) {
    return {s.section, s.key, SettingType::kInt, s.defaultValue, {}};
}
constexpr SettingInfo Info(const StringSetting& s) {
    return {s.section, s.key, SettingType::kString, 0, s.defaultValue};
}

// Every fixed key (the numbered recent-file keys aside), both defaults of the
// keys that have two.
inline constexpr auto kAllSettings = [] {
    // clang-format off
    constexpr SettingInfo kFixed[] = {Info(kUseLastBook),
                                      Info(kStartMinimized),
                                      Info(kUseMRU),
                                      Info(kNumMRU),
                                      Info(kRememberSort),
                                      Info(kSortIndex),
                                      Info(kSortDirection),
                                      Info(kRememberCol),
                                      Info(kRememberPos),
                                      Info(kRememberImp),
                                      Info(kRememberExp),
                                      Info(kRememberWin),
                                      Info(kWindowPos),
                                      Info(kRememberTray),
                                      Info(kFlatbar),
                                      Info(kConfirmDelete),
                                      Info(kAddNewInfo),
                                      Info(kDefaultCity),
                                      Info(kDefaultState),
                                      Info(kDefaultCountry),
                                      Info(kDefaultZip),
                                      Info(kDefaultPrefix),
                                      Info(kDefaultComp),
                                      Info(kDefaultEmail),
                                      Info(kDefaultWeb),
                                      Info(kDefaultWebInSheet),
                                      Info(kColumnSizes),
                                      Info(kColumnOrder),
                                      Info(kVCardVersion),
                                      Info(kBookInUse),
                                      Info(kPreviewPages)};
    // clang-format on
    constexpr std::size_t kFixedCount = sizeof kFixed / sizeof kFixed[0];
    constexpr SettingInfo kSelectFieldsBoxes[] = {Info(kImportFirstLineNames),
                                                  Info(kExportRfc4180)};
    constexpr std::size_t kBoxCount = sizeof kSelectFieldsBoxes / sizeof kSelectFieldsBoxes[0];
    std::array<SettingInfo, kFixedCount + 2 * kMappedFieldCount + kBoxCount> all{};
    std::size_t n = 0;
    for (const SettingInfo& info : kFixed) {
        all[n++] = info;
    }
    for (int field = 0; field < kMappedFieldCount; ++field) {
        all[n++] = Info(ImportColumn(field));
    }
    for (int field = 0; field < kMappedFieldCount; ++field) {
        all[n++] = Info(ExportColumn(field));
    }
    for (const SettingInfo& info : kSelectFieldsBoxes) {
        all[n++] = info;
    }
    return all;
}();

}  // namespace settings
