// The program's string table: every user-visible text that has a number.
//
// Command numbers (command_ids.h) index their own entry, "prompt\ntooltip":
// the text before the line feed is the status-bar prompt, the text after it
// the tooltip.  Other entries hold messages, captions, status texts and the
// standard texts of file-error and input-validation reports.  Texts with
// "%1", "%2" are filled by FormatString; texts with "%d" by the caller.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace resources {

// ---- Numbers of the entries that are not commands ----
inline constexpr int kStrDocType = 128;          // document type string (see DocString)
inline constexpr int kStrFieldLabelFirst = 130;  // labels of fields 0..31: 130..161
inline constexpr int kStrCopySuffix = 162;       // " - Copy"
inline constexpr int kStrConfirmDelete = 163;
inline constexpr int kStrPageOf = 164;  // "Page %d of %d"
inline constexpr int kStrLoadingBook = 165;
inline constexpr int kStrSavingBook = 166;
inline constexpr int kStrImporting = 167;
inline constexpr int kStrImported = 168;  // "%d addresses imported."
inline constexpr int kStrNoneImported = 169;
inline constexpr int kStrNoFirstLine = 170;
inline constexpr int kStrExporting = 171;
inline constexpr int kStrExported = 172;  // "%d addresses exported."
inline constexpr int kStrAddEntryCaption = 174;
inline constexpr int kStrEditEntryCaption = 175;
inline constexpr int kStrCopyEntryCaption = 176;
inline constexpr int kStrTextNotFound = 177;
inline constexpr int kStrWidthsSaved = 178;
inline constexpr int kStrPositionsSaved = 179;
inline constexpr int kStrPreferencesCaption = 180;
inline constexpr int kStrConfirmDeleteMany = 181;  // "Delete the %d selected entries?"
inline constexpr int kStrNoDuplicates = 182;
// vCard import and export (numbers 190 to 199 are kept for vCard): the
// caption of the export's options dialog, "Export vCard", and the caption
// of the editor's page of extra data, "More".
inline constexpr int kStrVCardExportCaption = 190;
inline constexpr int kStrExtraDataPage = 191;
// Delimited import of a file that holds vCards; "%1" is the file's name.
inline constexpr int kStrDelimitedIsVCard = 260;   // "%1 holds vCards, not delimited text."
inline constexpr int kStrAskImportAsVCard = 261;   // ... "Import its cards as vCards instead?"
inline constexpr int kStrAppTitle = 57344;         // "Quillbox"
inline constexpr int kStrIdleMessage = 57345;      // "For Help, press F1"
inline constexpr int kStrOpenCaption = 61440;      // file-open dialog caption
inline constexpr int kStrSaveAsCaption = 61441;    // file-save dialog caption
inline constexpr int kStrAllFilesFilter = 61442;   // "All Files (*.*)"
inline constexpr int kStrUntitled = 61443;         // title of a book never saved
inline constexpr int kStrUnnamedFile = 61446;      // "an unnamed file"
inline constexpr int kStrCannotOpen = 61697;       // "Cannot open %1."
inline constexpr int kStrCannotSave = 61698;       // "Cannot save %1."
inline constexpr int kStrAskToSave = 61699;        // "Save changes to %1?"
inline constexpr int kStrCannotCreateDoc = 61700;  // "Failed to create empty document."
inline constexpr int kStrParseInt = 61712;         // "Please enter an integer."
inline constexpr int kStrParseIntRange = 61713;    // "... between %1 and %2."
inline constexpr int kStrParseIntMax = 61714;      // "... no greater than %1."
inline constexpr int kStrFileErrorFirst = 61856;   // file-error reports 61856..61870

// The text of entry `id`, or an empty view when the table has none.
std::string_view LoadString(int id);

// True when the table holds entry `id`.
bool HasString(int id);

// The status-bar prompt of a command: its entry up to the first line feed.
std::string_view CommandPrompt(int id);
// The tooltip of a command: its entry after the first line feed (empty when
// the entry has none).
std::string_view CommandTooltip(int id);

// The fields of the document type string, in their stored order.
enum class DocStringIndex {
    kWindowTitle = 0,  // "Quillbox"
    kDocName,          // "" (new books take the default title)
    kFileNewName,      // "Quillbox"
    kFilterName,       // "Quillbox Files (*.qxd)"
    kFilterExt,        // ".QXD"
    kRegFileTypeId,    // "QX32.Document"
    kRegFileTypeName,  // "Quillbox Document"
};
std::string_view DocString(DocStringIndex index);

// Replaces "%1" .. "%9" in `format` by the matching argument (the first
// argument fills "%1").  A "%" followed by anything else, or by a digit with
// no argument, is kept as it is.
std::string FormatString(std::string_view format, std::initializer_list<std::string_view> args);

// Number of entries, and the i-th entry's number in ascending order (for
// listing the whole table, e.g. in tests).
int StringCount();
int StringIdAt(int index);

}  // namespace resources
