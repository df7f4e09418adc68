// The window halves of delimited-text import (kCmdFileImportCsv comma,
// kCmdFileImportTdf tab) and export (kCmdFileExportCsv comma,
// kCmdFileExportTdf tab), called by the document's handlers.
//
// Import: file-open dialog, the file's first line shown in "Select Fields",
// the mapping remembered in [Import] while "RememberImp" is on, one new row
// per line that fills a field (the whole import is one undo step and marks
// the book modified), "%d addresses imported." or a warning.  With "First
// line holds column names" ticked (remembered the same way), the file is
// read as header_import.h describes: the first line is skipped, rows may
// span lines, nothing is lost, and the message says what was kept as extra
// data ("312 addresses imported. Kept as extra data: Birthday 120.").  A
// file whose first line is BEGIN:VCARD is not imported as delimited text:
// the vCard import is offered (Yes/No) when a handler for it is set, else
// the user is told that the file holds vCards.
//
// Export: file-save dialog, the mapping remembered in [Export] while
// "RememberExp" is on, a header line and one line per row in display order,
// "%d addresses exported."; with more than one row selected, "Select Fields"
// offers "Selected entries only" (CExportScope).  "For spreadsheets (RFC
// 4180)" (remembered the same way) writes the RFC 4180 form
// (delimited_export.h).  The chosen file is replaced only once the new
// contents are completely written: cancelling the dialog, or a failed
// write, leaves an existing file as it was.  Export
// never marks the book modified.
#pragma once

#include <QString>
#include <functional>
#include <string_view>

#include "entries/entry_services.h"

namespace clausedb {
class CExprDatabase;
}
namespace platform {
class CommandTarget;
}

namespace entries {

class CSelectFieldsDlg;

// The file-dialog filters of the comma and tab commands.
inline constexpr char kCsvFilter[] = "CSV Files (*.txt;*.csv)|*.txt; *.csv|All Files (*.*)|*.*||";
inline constexpr char kTdfFilter[] = "TDF Files (*.txt;*.tdf)|*.txt; *.tdf|All Files (*.*)|*.*||";

class ImportDelimitedCommand {
public:
    // `db` is the document's staging database (not owned).
    ImportDelimitedCommand(EntryServices services, clausedb::CExprDatabase& db)
        : m_services(std::move(services)), m_db(db) {}

    void OnFileImportCsv();
    void OnFileImportTdf();

    // Imports the file at `path` split with the given character sets.  True
    // when at least one row was added.
    bool ImportDelimited(const QString& path, std::string_view white, std::string_view breaks);

    // What imports a vCard file the user chose for a delimited import;
    // empty (the default): the user is told to use the vCard import.
    using VCardImportHandler = std::function<void(const QString& path)>;
    void SetVCardImportHandler(VCardImportHandler handler) { m_vcardImport = std::move(handler); }

private:
    void Run(const char* filter, std::string_view white, std::string_view breaks);
    // The first line says the file holds vCards: offers their import.
    void OfferVCardImport(const QString& path);

    EntryServices m_services;
    clausedb::CExprDatabase& m_db;
    VCardImportHandler m_vcardImport;
};

class ExportDelimitedCommand {
public:
    // Reads the rows through `services.list`.
    explicit ExportDelimitedCommand(EntryServices services) : m_services(std::move(services)) {}

    void OnFileExportCsv();
    void OnFileExportTdf();

    // Exports every row to `path` with `separator` after each field.  True
    // when the file was written.
    bool ExportDelimited(const QString& path, char separator);

private:
    void Run(const char* filter, const char* extension, char separator);

    EntryServices m_services;
};

// Registers the four commands on the document's target.
void RegisterDelimitedCommands(platform::CommandTarget& target, ImportDelimitedCommand& import,
                               ExportDelimitedCommand& exporter);

}  // namespace entries
