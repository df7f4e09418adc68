#include "entries/delimited_commands.h"

#include <unistd.h>

#include <QCursor>  // needed by platform/app_services.h
#include <QFileInfo>
#include <cerrno>
#include <optional>
#include <vector>

#include "addressbook/book_file.h"
#include "addressbook/delimited_export.h"
#include "addressbook/delimited_import.h"
#include "addressbook/delimited_token.h"
#include "clausedb/expr_database.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "entries/export_scope.h"
#include "entries/select_fields_dlg.h"
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
    dialog.m_strFirstLine = FromUtf8(*firstLine);
    platform::IProfile& profile = *m_services.profile;
    const bool remember = ReadSetting(profile, settings::kRememberImp) != 0;
    if (remember) {
        for (int field : addressbook::kImportKeyOrder) {
            dialog.m_nColumn[static_cast<std::size_t>(field)] =
                ReadSetting(profile, settings::ImportColumn(field));
        }
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
    }
    addressbook::StagedEntries staged;
    const int count =
        addressbook::ImportDelimited(file, dialog.m_nColumn, white, breaks, m_db, staged);
    m_db.RemoveAllClauses();
    if (count < 0) {
        // The file failed part-way: nothing of it is added.
        wait.reset();
        platform::ReportFileError(file.ErrorNumber(), path, parent);
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
    platform::ShowMessageBox(CountMessage(resources::kStrImported, count),
                             platform::MessageIcon::kInformation, platform::MessageButtons::kOk,
                             parent);
    return true;
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

    CSelectFieldsDlg dialog(parent);
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
    }
    // Each line goes to the file as soon as it is made.
    const int lines = addressbook::ExportDelimited(scope.Rows(dialog.m_bSelectedOnly), m_db,
                                                   dialog.m_nColumn, separator, writer);
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
