#include "resources/string_table.h"

#include <algorithm>
#include <iterator>

#include "resources/command_ids.h"

namespace resources {
namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

// Kept in ascending order of number; a static_assert below checks it.
constexpr StringEntry kStrings[] = {
    {kStrDocType,
     "Quillbox\n\nQuillbox\nQuillbox Files (*.qxd)\n.QXD\nQX32.Document\nQuillbox Document"},
    // Field labels, the headings of the address list's columns.
    {kStrFieldLabelFirst + 0, "Last Name"},
    {kStrFieldLabelFirst + 1, "First Name"},
    {kStrFieldLabelFirst + 2, "M.I."},
    {kStrFieldLabelFirst + 3, "Title"},
    {kStrFieldLabelFirst + 4, "Address 1"},
    {kStrFieldLabelFirst + 5, "Address 2"},
    {kStrFieldLabelFirst + 6, "City"},
    {kStrFieldLabelFirst + 7, "Country"},
    {kStrFieldLabelFirst + 8, "State"},
    {kStrFieldLabelFirst + 9, "ZipCode"},
    {kStrFieldLabelFirst + 10, "Company"},
    {kStrFieldLabelFirst + 11, "Department"},
    {kStrFieldLabelFirst + 12, "Position"},
    {kStrFieldLabelFirst + 13, "Manager"},
    {kStrFieldLabelFirst + 14, "Additional 1"},
    {kStrFieldLabelFirst + 15, "Additional 2"},
    {kStrFieldLabelFirst + 16, "Home Phone"},
    {kStrFieldLabelFirst + 17, "Home Ext."},
    {kStrFieldLabelFirst + 18, "Work Phone"},
    {kStrFieldLabelFirst + 19, "Work Ext."},
    {kStrFieldLabelFirst + 20, "Cell Phone"},
    {kStrFieldLabelFirst + 21, "Cell Ext."},
    {kStrFieldLabelFirst + 22, "Pager"},
    {kStrFieldLabelFirst + 23, "Pager Card"},
    {kStrFieldLabelFirst + 24, "Pager Ext."},
    {kStrFieldLabelFirst + 25, "Fax Phone"},
    {kStrFieldLabelFirst + 26, "Fax Ext."},
    {kStrFieldLabelFirst + 27, "Email 1"},
    {kStrFieldLabelFirst + 28, "Email 2"},
    {kStrFieldLabelFirst + 29, "Web 1"},
    {kStrFieldLabelFirst + 30, "Web 2"},
    {kStrFieldLabelFirst + 31, "Notes"},
    {kStrCopySuffix, " - Copy"},
    {kStrConfirmDelete, "Are you sure you wish to delete the selected address?"},
    {kStrPageOf, "Page %d of %d"},
    {kStrLoadingBook, "Loading Address Book..."},
    {kStrSavingBook, "Saving address book..."},
    {kStrImporting, "Importing addresses..."},
    {kStrImported, "%d addresses imported."},
    {kStrNoneImported, "No addresses could be imported."},
    {kStrNoFirstLine, "Could not read first line of file."},
    {kStrExporting, "Exporting addresses..."},
    {kStrExported, "%d addresses exported."},
    {kStrAddEntryCaption, "Add a New Entry"},
    {kStrEditEntryCaption, "Edit an Existing Entry"},
    {kStrCopyEntryCaption, "Copy an Existing Entry"},
    {kStrTextNotFound, "Specified text not found."},
    {kStrWidthsSaved, "Column widths have been saved."},
    {kStrPositionsSaved, "Column positions have been saved."},
    {kStrPreferencesCaption, "Preferences"},
    {kStrConfirmDeleteMany, "Delete the %d selected entries?"},
    {kStrNoDuplicates, "No duplicate entries were found."},
    {kStrVCardExportCaption, "Export vCard"},
    {kStrExtraDataPage, "More"},
    {kStrVCardImportCaption, "Import vCard"},
    {kStrClipboardName, "the clipboard"},
    {kStrDroppedDataName, "the dropped data"},
    // Delimited import of a file that holds vCards.
    {kStrDelimitedIsVCard, "%1 holds vCards, not delimited text."},
    {kStrAskImportAsVCard,
     "%1 holds vCards, not delimited text.\n\nImport its cards as vCards instead?"},
    // A book changed on disk by another program.
    {kStrChangedOnDisk, "The address book was changed by another program since you opened it."},
    {kStrReloadButton, "Reload"},
    {kStrSaveAnywayButton, "Save Anyway"},
    {kStrBookReloaded, "The address book was read again: another program changed it."},
    // Command prompts and tooltips.
    {kCmdViewFlatToolbar, "Switch the toolbar between flat and raised buttons\nFlat Toolbar"},
    {kCmdSaveColumnPositions, "Save the current order of the columns\nSave Column Positions"},
    {kCmdAddressAdd, "Add a New Address\nAdd"},
    {kCmdAddressEdit, "Edit the selected address\nEdit"},
    {kCmdAddressDelete, "Delete the selected address\nDelete"},
    {kCmdAddressCopy, "Make a new address from a copy of the selected one\nCopy"},
    {kCmdFileImportCsv,
     "Import addresses from a comma-delimited text file\nImport Comma Delimited"},
    {kCmdFileImportTdf, "Import addresses from a tab-delimited text file\nImport Tab Delimited"},
    {kCmdFileExportCsv,
     "Export the addresses to a comma-delimited text file\nExport Comma Delimited"},
    {kCmdFileExportTdf, "Export the addresses to a tab-delimited text file\nExport Tab Delimited"},
    {kCmdPreferences, "Configure Quillbox Settings\nPreferences"},
    {kCmdEditFindNext, "Find the next address that holds the search text\nFind Next"},
    {kCmdQuickFindFocus, "Move to the quick-find box\nQuick Find"},
    {kCmdSaveWindowSize, "Remember the window's size and position\nSave Window Size"},
    {kCmdSaveColumnWidths, "Remember the current column widths\nSave Column Widths"},
    {kCmdTrayShow, "Show the Quillbox window\nShow"},
    {kCmdTrayExit, "Quit the application; prompts to save the address book\nExit"},
    {kCmdDialHome, "Dial the home phone number of the selected address\nDial Home"},
    {kCmdDialWork, "Dial the work phone number of the selected address\nDial Work"},
    {kCmdDialCellular, "Dial the cellular phone number of the selected address\nDial Cellular"},
    {kCmdDialPager, "Dial the pager number of the selected address\nDial Pager"},
    {kCmdDialFax, "Dial the fax number of the selected address\nDial Fax"},
    {kCmdEmail1, "Send e-mail to the first e-mail address\nEmail Address 1"},
    {kCmdEmail2, "Send e-mail to the second e-mail address\nEmail Address 2"},
    {kCmdWeb1, "Open the first web page of the selected address\nWeb URL 1"},
    {kCmdWeb2, "Open the second web page of the selected address\nWeb URL 2"},
    {kCmdDialMenu, "Dial a phone number of the selected address\nDial"},
    {kCmdEmailMenu, "Send e-mail to the selected address\nEmail"},
    {kCmdWebMenu, "Open a web page of the selected address\nWeb"},
    {kCmdEditUndo, "Undo the last change to the addresses\nUndo"},
    {kCmdEditRedo, "Redo the change that was undone\nRedo"},
    {kCmdEditSelectAll, "Select every address in the list\nSelect All"},
    {kCmdAddressFindDuplicates,
     "Find addresses that describe the same person and merge them\nFind Duplicates"},
    {kCmdFileImportVCard, "Import the contacts of a vCard file\nImport vCard"},
    {kCmdFileExportVCard, "Export the addresses to a vCard file\nExport vCard"},
    {kCmdEditCopyAsVCard, "Copy the selected addresses to the clipboard as vCards\nCopy as vCard"},
    {kCmdEditPaste, "Add the contacts on the clipboard as new addresses\nPaste"},
    {kCmdFileSynchronize,
     "Exchange the changes with the book's CardDAV address book on a server\nSynchronize"},
    {kStrAppTitle, "Quillbox"},
    {kStrIdleMessage, "For Help, press F1"},
    {kCmdFileNew, "Create a new address book\nNew"},
    {kCmdFileOpen, "Open an existing address book\nOpen"},
    {kCmdFileSave, "Save the address book\nSave"},
    {kCmdFileSaveAs, "Save the address book under a new name\nSave As"},
    {kCmdFilePrint, "Print the address list\nPrint"},
    {kCmdFilePrintDirect, "Print the address list with the current settings\nQuick Print"},
    {kCmdFilePrintPreview, "Show the printed pages on screen\nPrint Preview"},
    {kCmdFileMruFirst + 0, "Open this address book"},
    {kCmdFileMruFirst + 1, "Open this address book"},
    {kCmdFileMruFirst + 2, "Open this address book"},
    {kCmdFileMruFirst + 3, "Open this address book"},
    {kCmdFileMruFirst + 4, "Open this address book"},
    {kCmdFileMruFirst + 5, "Open this address book"},
    {kCmdFileMruFirst + 6, "Open this address book"},
    {kCmdFileMruFirst + 7, "Open this address book"},
    {kCmdFileMruFirst + 8, "Open this address book"},
    {kCmdFileMruFirst + 9, "Open this address book"},
    {kCmdFileMruFirst + 10, "Open this address book"},
    {kCmdFileMruFirst + 11, "Open this address book"},
    {kCmdFileMruFirst + 12, "Open this address book"},
    {kCmdFileMruFirst + 13, "Open this address book"},
    {kCmdFileMruFirst + 14, "Open this address book"},
    {kCmdFileMruFirst + 15, "Open this address book"},
    {kCmdEditFind, "Find an address by a text in one of its fields\nFind"},
    {kCmdAppAbout, "Display program information and version number\nAbout"},
    {kCmdAppExit, "Quit the application; prompts to save the address book\nExit"},
    {kCmdHelpTopics, "List Help topics\nHelp Topics"},
    {kIndicatorCaps, "CAP"},
    {kIndicatorNum, "NUM"},
    {kIndicatorScroll, "SCRL"},
    {kIndicatorClock, " "},
    {kCmdViewToolbar, "Show or hide the toolbar\nToggle Toolbar"},
    {kCmdViewStatusBar, "Show or hide the status bar\nToggle Status Bar"},
    {kStrOpenCaption, "Open"},
    {kStrSaveAsCaption, "Save As"},
    {kStrAllFilesFilter, "All Files (*.*)"},
    {kStrUntitled, "Untitled"},
    {kStrUnnamedFile, "an unnamed file"},
    {kStrCannotOpen, "Cannot open %1."},
    {kStrCannotSave, "Cannot save %1."},
    {kStrAskToSave, "Save changes to %1?"},
    {kStrCannotCreateDoc, "Failed to create empty document."},
    {kStrParseInt, "Please enter an integer."},
    {kStrParseIntRange, "Please enter an integer between %1 and %2."},
    {kStrParseIntMax, "Please enter an integer no greater than %1."},
    // File-error reports, by cause (see file_errors.h).
    {kStrFileErrorFirst + 0, "An unknown error occurred while accessing %1."},
    {kStrFileErrorFirst + 1, "An unexpected error occurred while accessing %1."},
    {kStrFileErrorFirst + 2, "%1 was not found."},
    {kStrFileErrorFirst + 3, "%1 contains an invalid path."},
    {kStrFileErrorFirst + 4, "%1 could not be opened because there are too many open files."},
    {kStrFileErrorFirst + 5, "Access to %1 was denied."},
    {kStrFileErrorFirst + 6, "An invalid file handle was associated with %1."},
    {kStrFileErrorFirst + 7, "%1 could not be removed because it is the current directory."},
    {kStrFileErrorFirst + 8, "%1 could not be created because the directory is full."},
    {kStrFileErrorFirst + 9, "Seek failed on %1."},
    {kStrFileErrorFirst + 10, "A hardware I/O error was reported while accessing %1."},
    {kStrFileErrorFirst + 11, "A sharing violation occurred while accessing %1."},
    {kStrFileErrorFirst + 12, "A locking violation occurred while accessing %1."},
    {kStrFileErrorFirst + 13, "Disk full while accessing %1."},
    {kStrFileErrorFirst + 14, "An attempt was made to access %1 past its end."},
};

constexpr bool IsStrictlyAscending() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(IsStrictlyAscending(), "string table must be sorted by number, without repeats");

const StringEntry* Find(int id) {
    const auto* end = std::end(kStrings);
    const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                      [](const StringEntry& e, int value) { return e.id < value; });
    return (it != end && it->id == id) ? it : nullptr;
}

}  // namespace

std::string_view LoadString(int id) {
    const StringEntry* entry = Find(id);
    return entry != nullptr ? entry->text : std::string_view{};
}

bool HasString(int id) {
    return Find(id) != nullptr;
}

std::string_view CommandPrompt(int id) {
    std::string_view text = LoadString(id);
    return text.substr(0, text.find('\n'));
}

std::string_view CommandTooltip(int id) {
    std::string_view text = LoadString(id);
    std::size_t lf = text.find('\n');
    return lf == std::string_view::npos ? std::string_view{} : text.substr(lf + 1);
}

std::string_view DocString(DocStringIndex index) {
    std::string_view text = LoadString(kStrDocType);
    for (int i = 0; i < static_cast<int>(index); ++i) {
        std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos) {
            return {};
        }
        text.remove_prefix(lf + 1);
    }
    return text.substr(0, text.find('\n'));
}

std::string FormatString(std::string_view format, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(format.size() + 32);
    for (std::size_t i = 0; i < format.size(); ++i) {
        char ch = format[i];
        if (ch == '%' && i + 1 < format.size() && format[i + 1] >= '1' && format[i + 1] <= '9') {
            std::size_t arg = static_cast<std::size_t>(format[i + 1] - '1');
            if (arg < args.size()) {
                out += *(args.begin() + arg);
                ++i;
                continue;
            }
        }
        out += ch;
    }
    return out;
}

int StringCount() {
    return static_cast<int>(std::size(kStrings));
}

int StringIdAt(int index) {
    return (index >= 0 && index < StringCount()) ? kStrings[index].id : 0;
}

}  // namespace resources
