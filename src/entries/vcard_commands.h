// The window halves of vCard import (kCmdFileImportVCard, and a vCard file
// dropped on the window) and export (kCmdFileExportVCard), called by the
// document's handlers.
//
// Import: file-open dialog ("vCard Files (*.vcf *.vcard)"), then the cards
// are read with the wait cursor and "Importing addresses..." in the status
// bar, followed by how much of the file has been read.  The new rows are
// appended and the sort re-applied as one step of the undo history, which
// marks the book modified.  Then the report (ImportReportText: "312
// addresses imported. Kept as extra data: ...") as an information message;
// when no card could be read, "No contacts found in FILE." and what was
// skipped as a warning, and nothing changes.  A file that cannot be read
// gets the file-error report of the delimited import.
//
// Export: file-save dialog (default extension "vcf"), then "Export vCard"
// asks for the version (3.0 or 4.0, remembered in [Export] "VCardVersion"
// while "RememberExp" is on).  One card per row in display order; the file
// is replaced only once the new one is complete; "%d addresses exported.".
// Each entry without a UID keeps the one its card got (CEntryUndo::
// StoreUids), so the next export gives the same UIDs whatever is edited in
// between; storing them marks the book modified, and only then.
//
// Seams for commands that write cards of some rows (copying as vCard,
// exporting the selected entries): ExportRows takes the rows to write, and
// ExportUidsOf gives the UIDs that rows' cards carry.
#pragma once

#include <QString>
#include <span>
#include <string>
#include <vector>

#include "addressbook/address_list.h"
#include "addressbook/vcard_mapping.h"
#include "entries/entry_services.h"

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

// The UIDs of the cards of `rows` (rows of `list`): an entry's own, or the
// one an export of the whole list derives for it (ExportUids), so that the
// UIDs of some rows never clash with those of the others.
std::vector<std::string> ExportUidsOf(const addressbook::IAddressList& list,
                                      std::span<const int> rows);

class ImportVCardCommand {
public:
    explicit ImportVCardCommand(EntryServices services) : m_services(std::move(services)) {}

    void OnFileImportVCard();

    // Imports the vCard file at `path`.  True when at least one row was
    // added.
    bool ImportVCard(const QString& path);

private:
    EntryServices m_services;
};

class ExportVCardCommand {
public:
    // Reads and stores the rows through `services.list`.
    explicit ExportVCardCommand(EntryServices services) : m_services(std::move(services)) {}

    void OnFileExportVCard();

    // Asks for the version, then writes every row to `path`.  True when the
    // file was written.
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
