#include "entries/vcard_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCursor>  // needed by platform/app_services.h
#include <QFileInfo>
#include <cerrno>
#include <cstdint>
#include <optional>

#include "addressbook/book_file.h"
#include "addressbook/entry_identity.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_import.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "entries/vcard_export_dlg.h"
#include "fileio/atomic_file.h"
#include "platform/app_services.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "platform/file_error_report.h"
#include "platform/profile.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace entries {

using addressbook::vcard::Version;

namespace {

// Shows in the status bar how much of a file has been read, each time the
// percentage changes.
class ReadProgress {
public:
    explicit ReadProgress(int stringId) : m_nStringId(stringId) {}

    void operator()(std::uint64_t done, std::uint64_t total) {
        if (total == 0) {
            return;
        }
        const int percent = static_cast<int>(done * 100 / total);
        if (percent != m_nShown) {
            m_nShown = percent;
            platform::ShowStatusProgress(m_nStringId, percent);
        }
    }

private:
    int m_nStringId;
    int m_nShown = -1;
};

platform::FileDialogRequest VCardFileRequest(int captionId) {
    platform::FileDialogRequest request;
    request.caption = ResourceString(captionId);
    request.filter = QString::fromLatin1(kVCardFilter);
    return request;
}

}  // namespace

bool IsVCardFileName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("vcf"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("vcard"), Qt::CaseInsensitive) == 0;
}

std::vector<std::string> ExportUidsOf(const addressbook::IAddressList& list,
                                      std::span<const int> rows) {
    std::vector<std::string> all = addressbook::ExportUids(list);
    std::vector<std::string> uids;
    uids.reserve(rows.size());
    for (const int row : rows) {
        uids.push_back(std::move(all.at(static_cast<std::size_t>(row))));
    }
    return uids;
}

// ---- Import ----

void ImportVCardCommand::OnFileImportVCard() {
    platform::FileDialogRequest request = VCardFileRequest(resources::kStrOpenCaption);
    request.mustExist = true;
    const std::optional<QString> path =
        platform::Dialogs().GetOpenFileName(m_services.DialogParent(), request);
    if (path) {
        ImportVCard(*path);
    }
}

bool ImportVCardCommand::ImportVCard(const QString& path) {
    QWidget* parent = m_services.DialogParent();
    const std::string native = NativePath(path);
    // A file that does not open is reported as by the delimited import,
    // without its name; a failure part-way names it.
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        platform::ReportFileError(errno, QString(), parent);
        return false;
    }
    ::close(fd);

    platform::ShowStatusText(resources::kStrImporting);
    std::optional<platform::WaitCursor> wait(std::in_place);
    addressbook::StagedEntries staged;
    addressbook::VCardImportReport report;
    int error = 0;
    const int count = addressbook::ImportVCardEntries(native, staged, report, nullptr, &error,
                                                      ReadProgress(resources::kStrImporting));
    if (count < 0) {
        wait.reset();
        platform::ReportFileError(error, path, parent);
        platform::ShowStatusText(resources::kStrIdleMessage);
        return false;
    }
    auto tell = [&](const QString& text, platform::MessageIcon icon) {
        wait.reset();
        platform::ShowMessageBox(text, icon, platform::MessageButtons::kOk, parent);
        platform::ShowStatusText(resources::kStrIdleMessage);
    };
    const QString reportText =
        FromUtf8(addressbook::ImportReportText(report, ToUtf8(QFileInfo(path).fileName())));
    if (count == 0) {
        tell(reportText, platform::MessageIcon::kWarning);
        return false;
    }
    // The file is read; the rows are still to be added and sorted in.  They
    // are one step of the undo history, which marks the book modified.
    platform::ShowStatusText(resources::kStrImporting);
    m_services.undo->AddEntries(UndoText(resources::kCmdFileImportVCard), std::move(staged.entries),
                                false);
    tell(reportText, platform::MessageIcon::kInformation);
    return true;
}

// ---- Export ----

void ExportVCardCommand::OnFileExportVCard() {
    platform::FileDialogRequest request = VCardFileRequest(resources::kStrSaveAsCaption);
    request.defaultExtension = QStringLiteral("vcf");
    request.promptOverwrite = true;
    const std::optional<QString> path =
        platform::Dialogs().GetSaveFileName(m_services.DialogParent(), request);
    if (path) {
        ExportVCard(*path);
    }
}

Version ExportVCardCommand::RememberedVersion() const {
    const platform::IProfile& profile = *m_services.profile;
    if (ReadSetting(profile, settings::kRememberExp) == 0) {
        return Version::V30;
    }
    return addressbook::vcard::VersionOf(ReadSetting(profile, settings::kVCardVersion)) ==
                   Version::V40
               ? Version::V40
               : Version::V30;
}

bool ExportVCardCommand::OpenTarget(fileio::AtomicFileWriter& writer, const QString& path) {
    QWidget* parent = m_services.DialogParent();
    const std::string target = NativePath(path);
    // The new file is written beside the old one and renamed over it, which
    // the folder alone permits; a file the user may not write is refused as
    // opening it for writing would be.
    if (!fileio::MayReplace(target)) {
        platform::ReportFileError(EACCES, QString(), parent);
        return false;
    }
    if (!writer.Open(target)) {
        platform::ReportFileError(writer.ErrorNumber(), QString(), parent);
        return false;
    }
    return true;
}

bool ExportVCardCommand::ExportVCard(const QString& path) {
    // Opened first, so that a folder that cannot take the file is reported
    // before anything is asked.
    fileio::AtomicFileWriter writer;
    if (!OpenTarget(writer, path)) {
        return false;
    }
    CVCardExportDlg dialog(m_services.DialogParent());
    dialog.m_version = RememberedVersion();
    dialog.UpdateControls();
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        writer.Discard();  // an existing file stays as it was
        return false;
    }
    if (ReadSetting(*m_services.profile, settings::kRememberExp) != 0) {
        WriteSetting(*m_services.profile, settings::kVCardVersion,
                     dialog.m_version == Version::V40 ? "4.0" : "3.0");
    }
    std::vector<int> rows(static_cast<std::size_t>(m_services.list->RowCount()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<int>(i);
    }
    return ExportRows(writer, dialog.m_version, rows);
}

bool ExportVCardCommand::ExportRows(fileio::AtomicFileWriter& writer, Version version,
                                    std::span<const int> rows) {
    QWidget* parent = m_services.DialogParent();
    platform::ShowStatusText(resources::kStrExporting);
    std::optional<platform::WaitCursor> wait(std::in_place);
    IEntryListUi& list = *m_services.list;
    const std::vector<std::string> uids = ExportUidsOf(list, rows);
    const int cards = addressbook::ExportVCardRows(list, rows, uids, version, writer);
    if (cards < 0 || !writer.Commit()) {
        const int error = writer.ErrorNumber();
        writer.Discard();
        wait.reset();
        platform::ReportFileError(error, QString(), parent);
        platform::ShowStatusText(resources::kStrIdleMessage);
        return false;
    }
    // The cards are out with these UIDs: the entries keep them.
    m_services.undo->StoreUids(rows, uids);
    wait.reset();
    platform::ShowMessageBox(CountMessage(resources::kStrExported, cards),
                             platform::MessageIcon::kInformation, platform::MessageButtons::kOk,
                             parent);
    platform::ShowStatusText(resources::kStrIdleMessage);
    return true;
}

void RegisterVCardCommands(platform::CommandTarget& target, ImportVCardCommand& import,
                           ExportVCardCommand& exporter) {
    target.OnCommand(resources::kCmdFileImportVCard, [&import] { import.OnFileImportVCard(); });
    target.OnCommand(resources::kCmdFileExportVCard, [&exporter] { exporter.OnFileExportVCard(); });
}

}  // namespace entries
