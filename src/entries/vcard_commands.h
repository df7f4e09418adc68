// The window halves of vCard import (kCmdFileImportVCard, and a vCard file
// dropped on the window) and export (kCmdFileExportVCard), called by the
// document's handlers.
//
// Import: file-open dialog ("vCard Files (*.vcf *.vcard)"), then, while
// the book holds entries, "Import vCard" (CVCardImportDlg) with "Skip
// entries that are already in the book" (skip_existing.h), remembered in
// [Import] "SkipExisting".  The cards are read with the wait cursor and
// "Importing addresses..." in the status bar, followed by how much of the
// file has been read.  The new rows are appended and the sort re-applied as
// one step of the undo history, which marks the book modified.  Then the
// report (ImportReportText: "312 addresses imported. 12 already in the book
// were skipped. Kept as extra data: ...") as an information message; when
// no card could be read, "No contacts found in FILE." and what was skipped
// as a warning, and nothing changes.  A file that cannot be read gets the
// file-error report of the delimited import.  A dropped vCard file, and
// vCard data dropped on the window (a contact dragged out of a mail
// program), are imported the same way without the questions, skipping as
// last chosen.
//
// Export: file-save dialog (default extension "vcf"), then "Export vCard"
// asks for the version (3.0 or 4.0, remembered in [Export] "VCardVersion"
// while "RememberExp" is on) and, with more than one row selected, offers
// "Selected entries only" (CExportScope).  One card per row in display
// order; the file is replaced only once the new one is complete; "%d
// addresses exported.".
// Each entry without a UID keeps the one its card got (CEntryUndo::
// StoreUids), so the next export gives the same UIDs whatever is edited in
// between; storing them marks the book modified, and only then.
//
// Seams for commands that write cards of some rows (copying as vCard,
// exporting the selected entries): ExportRows takes the rows to write, and
// ExportUidsOf gives the UIDs that rows' cards carry.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "addressbook/address_list.h"
#include "addressbook/vcard_mapping.h"
#include "entries/entry_services.h"

class QMimeData;

namespace addressbook {
struct StagedEntries;
struct VCardImportReport;
}  // namespace addressbook
namespace fileio {
class AtomicFileWriter;
}
namespace platform {
class CommandTarget;
}

namespace entries {

// The file-dialog filter of both commands.
inline constexpr char kVCardFilter[] =
    "vCard Files (*.vcf *.vcard)|*.vcf;*.vcard|All Files (*.*)|*.*||";

// Whether `path` names a vCard file: ".vcf" or ".vcard", in any case.
bool IsVCardFileName(const QString& path);

// The vCards of clipboard or drag data: its text/vcard, text/x-vcard or
// text/directory data, else its plain text when that begins with
// BEGIN:VCARD (blanks before it aside, in any case); nothing otherwise.
std::optional<QByteArray> VCardDataOf(const QMimeData& data);

// The UIDs of the cards of `rows` (rows of `list`): an entry's own, or the
// one an export of the whole list derives for it (ExportUids), so that the
// UIDs of some rows never clash with those of the others.
std::vector<std::string> ExportUidsOf(const addressbook::IAddressList& list,
                                      std::span<const int> rows);

class ImportVCardCommand {
public:
    explicit ImportVCardCommand(EntryServices services) : m_services(std::move(services)) {}

    void OnFileImportVCard();

    // Imports the vCard file at `path`, skipping what the book holds when
    // `skipExisting` (by default: as last chosen).  True when at least one
    // row was added.
    bool ImportVCard(const QString& path);
    bool ImportVCard(const QString& path, bool skipExisting);
    // Imports vCard data dropped on the window (VCardDataOf), skipping as
    // last chosen.  True when at least one row was added.
    bool ImportDroppedData(const QMimeData& data);
    // Adds the cards of `bytes` as one undo step named after command
    // `commandId`, skipping what the book holds when `skipExisting`.  With
    // `newIdentity`, a card whose UID an entry of the book holds comes in
    // without it (as the editor's Copy makes a copy).  The report names the
    // source `sourceName` when no card was found.  True when a row was
    // added.
    bool ImportVCardBytes(const QByteArray& bytes, bool skipExisting, bool newIdentity,
                          int commandId, const QString& sourceName);

private:
    // Adds the staged entries of a read as one undo step, then reports.
    bool AddImported(addressbook::StagedEntries& staged, addressbook::VCardImportReport& report,
                     int commandId, const QString& sourceName);

    EntryServices m_services;
};

class ExportVCardCommand {
public:
    // Reads and stores the rows through `services.list`.
    explicit ExportVCardCommand(EntryServices services) : m_services(std::move(services)) {}

    void OnFileExportVCard();

    // Asks for the version, then writes every row (or the selected rows,
    // when chosen) to `path`.  True when the file was written.
    bool ExportVCard(const QString& path);
    // Writes the cards of `rows` (rows of the list, in this order) through
    // `writer` (opened on the target), commits it and stores the new UIDs;
    // reports the count, or the failure.  True when the file was written.
    bool ExportRows(fileio::AtomicFileWriter& writer, addressbook::vcard::Version version,
                    std::span<const int> rows);

private:
    // Opens `writer` on `path`, or reports why the file cannot be written.
    bool OpenTarget(fileio::AtomicFileWriter& writer, const QString& path);
    // The version for the next export: the remembered one, or 3.0.
    addressbook::vcard::Version RememberedVersion() const;

    EntryServices m_services;
};

// Registers both commands on the document's target.
void RegisterVCardCommands(platform::CommandTarget& target, ImportVCardCommand& import,
                           ExportVCardCommand& exporter);

}  // namespace entries
