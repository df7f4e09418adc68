#include "entries/delimited_commands.h"

#include <unistd.h>

#include <QCursor>  // needed by platform/app_services.h
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/column_aliases.h"
#include "addressbook/delimited_export.h"
#include "addressbook/delimited_import.h"
#include "addressbook/delimited_token.h"
#include "addressbook/existing_entries.h"
#include "addressbook/header_import.h"
#include "clausedb/expr_database.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "entries/export_scope.h"
#include "entries/select_fields_dlg.h"
#include "entries/skip_existing.h"
#include "fileio/atomic_file.h"
#include "platform/app_services.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "platform/file_error_report.h"
#include "platform/profile.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace entries {

using addressbook::CAddressEntry;

namespace {

// What Match Columns says it did with `names`.
QString MatchSummary(const addressbook::ColumnMapping& columns, std::size_t names) {
    const auto matched = std::count_if(columns.begin(), columns.end(), [](int c) { return c > 0; });
    if (matched == 0) {
        return QStringLiteral(
            "No column name matches a field; the columns will be kept as "
            "extra data.");
    }
    return QStringLiteral(
               "%1 of %2 columns matched to fields; the others are placed by their "
               "labels or kept as extra data.")
        .arg(matched)
        .arg(names);
}

}  // namespace

// ---- Import ----

void ImportDelimitedCommand::Run(const char* filter, std::string_view white,
                                 std::string_view breaks) {
    platform::FileDialogRequest request;
    request.caption = ResourceString(resources::kStrOpenCaption);
    request.filter = QString::fromLatin1(filter);
    request.mustExist = true;
    const std::optional<QString> path =
        platform::Dialogs().GetOpenFileName(m_services.DialogParent(), request);
    if (path) {
        ImportDelimited(*path, white, breaks);
    }
}

void ImportDelimitedCommand::OnFileImportCsv() {
    Run(kCsvFilter, addressbook::kCommaWhite, addressbook::kCommaBreaks);
}

void ImportDelimitedCommand::OnFileImportTdf() {
    Run(kTdfFilter, addressbook::kTabWhite, addressbook::kTabBreaks);
}

bool ImportDelimitedCommand::ImportDelimited(const QString& path, std::string_view white,
                                             std::string_view breaks) {
    QWidget* parent = m_services.DialogParent();
    // The file is read in blocks, and each line becomes an entry at once.
    addressbook::CDelimitedTextFile file;
    if (!file.Open(NativePath(path))) {
        platform::ReportFileError(file.ErrorNumber(), QString(), parent);
        return false;
    }

    CSelectFieldsDlg dialog(parent);
    const std::optional<std::string> firstLine = file.FirstLine();
    if (!firstLine) {
        if (file.ErrorNumber() != 0) {
            platform::ReportFileError(file.ErrorNumber(), path, parent);
        } else {
            platform::ShowMessageBox(ResourceString(resources::kStrNoFirstLine),
                                     platform::MessageIcon::kWarning, platform::MessageButtons::kOk,
                                     parent);
        }
        return false;
    }
    if (addressbook::IsVCardFirstLine(*firstLine)) {
        OfferVCardImport(path);
        return false;
    }
    dialog.m_strFirstLine = FromUtf8(*firstLine);
    const char separator = breaks.front();
    addressbook::CsvHeader header;
    if (addressbook::ReadCsvHeader(file, separator, header)) {
        const addressbook::ColumnMapping matched = addressbook::MatchColumns(header.names);
        dialog.SetColumnMatch(matched, MatchSummary(matched, header.names.size()));
    }
    platform::IProfile& profile = *m_services.profile;
    const bool remember = ReadSetting(profile, settings::kRememberImp) != 0;
    if (remember) {
        for (int field : addressbook::kImportKeyOrder) {
            dialog.m_nColumn[static_cast<std::size_t>(field)] =
                ReadSetting(profile, settings::ImportColumn(field));
        }
        dialog.m_bFirstLineNames = ReadSetting(profile, settings::kImportFirstLineNames) != 0;
    }
    // Into an empty book nothing is skipped: no question then.
    const bool offerSkip = m_services.list->RowCount() > 0;
    if (offerSkip) {
        dialog.OfferSkipExisting();
        dialog.m_bSkipExisting = RememberedSkipExisting(profile);
    }
    dialog.UpdateControls();
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        return false;
    }

    platform::ShowStatusText(resources::kStrImporting);
    std::optional<platform::WaitCursor> wait(std::in_place);
    if (remember) {
        for (int field : addressbook::kImportKeyOrder) {
            WriteSetting(profile, settings::ImportColumn(field),
                         dialog.m_nColumn[static_cast<std::size_t>(field)]);
        }
        WriteSetting(profile, settings::kImportFirstLineNames, dialog.m_bFirstLineNames ? 1 : 0);
    }
    if (offerSkip) {
        RememberSkipExisting(profile, dialog.m_bSkipExisting);
    }
    std::optional<addressbook::CExistingEntries> existing;
    if (dialog.m_bFirstLineNames && dialog.m_bSkipExisting) {
        existing.emplace(*m_services.list);
    }
    addressbook::StagedEntries staged;
    addressbook::HeaderImportReport report;
    const int count =
        dialog.m_bFirstLineNames
            ? addressbook::ImportWithHeader(file, separator, dialog.m_nColumn, staged, report,
                                            existing ? &*existing : nullptr)
            : addressbook::ImportDelimited(file, dialog.m_nColumn, white, breaks, m_db, staged);
    m_db.RemoveAllClauses();
    if (count < 0) {
        // The file failed part-way: nothing of it is added.
        wait.reset();
        platform::ReportFileError(file.ErrorNumber(), path, parent);
        return false;
    }
    if (count == 0 && report.skipped > 0) {
        // Everything was in the book already: said, not warned about.
        wait.reset();
        platform::ShowMessageBox(FromUtf8(addressbook::HeaderImportReportText(report)),
                                 platform::MessageIcon::kInformation, platform::MessageButtons::kOk,
                                 parent);
        return false;
    }
    if (count == 0) {
        wait.reset();
        platform::ShowMessageBox(ResourceString(resources::kStrNoneImported),
                                 platform::MessageIcon::kWarning, platform::MessageButtons::kOk,
                                 parent);
        return false;
    }
    // The new rows, sorted in, are one step of the undo history; it marks
    // the book modified.
    m_services.undo->AddEntries(
        UndoText(breaks == addressbook::kTabBreaks ? resources::kCmdFileImportTdf
                                                   : resources::kCmdFileImportCsv),
        std::move(staged.entries), false);
    wait.reset();
    platform::ShowMessageBox(
        dialog.m_bFirstLineNames ? FromUtf8(addressbook::HeaderImportReportText(report))
                                 : CountMessage(resources::kStrImported, count),
        platform::MessageIcon::kInformation, platform::MessageButtons::kOk, parent);
    return true;
}

void ImportDelimitedCommand::OfferVCardImport(const QString& path) {
    QWidget* parent = m_services.DialogParent();
    const QString name = QFileInfo(path).fileName();
    if (!m_vcardImport) {
        platform::ShowMessageBox(ResourceString(resources::kStrDelimitedIsVCard).arg(name),
                                 platform::MessageIcon::kWarning, platform::MessageButtons::kOk,
                                 parent);
        return;
    }
    if (platform::ShowMessageBox(ResourceString(resources::kStrAskImportAsVCard).arg(name),
                                 platform::MessageIcon::kQuestion, platform::MessageButtons::kYesNo,
                                 parent) == platform::MessageAnswer::kYes) {
        m_vcardImport(path);
    }
}

// ---- Export ----

void ExportDelimitedCommand::Run(const char* filter, const char* extension, char separator) {
    platform::FileDialogRequest request;
    request.caption = ResourceString(resources::kStrSaveAsCaption);
    request.filter = QString::fromLatin1(filter);
    request.defaultExtension = QString::fromLatin1(extension);
    request.promptOverwrite = true;
    const std::optional<QString> path =
        platform::Dialogs().GetSaveFileName(m_services.DialogParent(), request);
    if (path) {
        ExportDelimited(*path, separator);
    }
}

void ExportDelimitedCommand::OnFileExportCsv() {
    Run(kCsvFilter, "csv", ',');
}

void ExportDelimitedCommand::OnFileExportTdf() {
    Run(kTdfFilter, "tdf", '\t');
}

bool ExportDelimitedCommand::ExportDelimited(const QString& path, char separator) {
    QWidget* parent = m_services.DialogParent();
    const std::string target = NativePath(path);

    // The new contents go to a file beside the target, which replaces it
    // only once complete.  Opening it now finds a folder that cannot take
    // the file before the columns are asked for; an existing file that may
    // not be written is refused as opening it for writing would be.
    fileio::AtomicFileWriter writer;
    if (QFileInfo::exists(path) && ::access(target.c_str(), W_OK) != 0) {
        platform::ReportFileError(errno, QString(), parent);
        return false;
    }
    if (!writer.Open(target)) {
        platform::ReportFileError(writer.ErrorNumber(), QString(), parent);
        return false;
    }

    CSelectFieldsDlg dialog(parent, CSelectFieldsDlg::Use::kExport);
    // More columns than this would only fill the file with empty fields.
    dialog.SetMaxColumn(addressbook::kMaxExportColumn);
    const CExportScope scope(*m_services.list);
    if (scope.IsOffered()) {
        dialog.OfferSelectedOnly();
    }
    platform::IProfile& profile = *m_services.profile;
    const bool remember = ReadSetting(profile, settings::kRememberExp) != 0;
    if (remember) {
        for (int field : addressbook::kExportKeyOrder) {
            dialog.m_nColumn[static_cast<std::size_t>(field)] =
                ReadSetting(profile, settings::ExportColumn(field));
        }
        dialog.m_bRfc4180 = ReadSetting(profile, settings::kExportRfc4180) != 0;
    }
    dialog.UpdateControls();
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        writer.Discard();  // an existing file stays as it was
        return false;
    }

    platform::ShowStatusText(resources::kStrExporting);
    std::optional<platform::WaitCursor> wait(std::in_place);
    if (remember) {
        for (int field : addressbook::kExportKeyOrder) {
            WriteSetting(profile, settings::ExportColumn(field),
                         dialog.m_nColumn[static_cast<std::size_t>(field)]);
        }
        WriteSetting(profile, settings::kExportRfc4180, dialog.m_bRfc4180 ? 1 : 0);
    }
    // Each line goes to the file as soon as it is made.
    const int lines = addressbook::ExportDelimited(
        scope.Rows(dialog.m_bSelectedOnly), dialog.m_nColumn, separator, writer,
        dialog.m_bRfc4180 ? addressbook::ExportQuoting::kRfc4180
                          : addressbook::ExportQuoting::kBackslash);
    if (lines < 0 || !writer.Commit()) {
        const int error =
            lines == addressbook::kExportColumnTooLarge ? EFBIG : writer.ErrorNumber();
        writer.Discard();
        wait.reset();
        platform::ReportFileError(error, QString(), parent);
        platform::ShowStatusText(resources::kStrIdleMessage);
        return false;
    }
    wait.reset();
    platform::ShowMessageBox(CountMessage(resources::kStrExported, lines),
                             platform::MessageIcon::kInformation, platform::MessageButtons::kOk,
                             parent);
    platform::ShowStatusText(resources::kStrIdleMessage);
    return true;
}

void RegisterDelimitedCommands(platform::CommandTarget& target, ImportDelimitedCommand& import,
                               ExportDelimitedCommand& exporter) {
    target.OnCommand(resources::kCmdFileImportCsv, [&import] { import.OnFileImportCsv(); });
    target.OnCommand(resources::kCmdFileImportTdf, [&import] { import.OnFileImportTdf(); });
    target.OnCommand(resources::kCmdFileExportCsv, [&exporter] { exporter.OnFileExportCsv(); });
    target.OnCommand(resources::kCmdFileExportTdf, [&exporter] { exporter.OnFileExportTdf(); });
}

}  // namespace entries
