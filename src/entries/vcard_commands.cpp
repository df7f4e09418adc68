#include "entries/vcard_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCheckBox>
#include <QCursor>  // needed by platform/app_services.h
#include <QFileInfo>
#include <QMimeData>
#include <QVBoxLayout>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <unordered_set>

#include "addressbook/book_file.h"
#include "addressbook/entry_identity.h"
#include "addressbook/existing_entries.h"
#include "addressbook/vcard_export.h"
#include "addressbook/vcard_import.h"
#include "entries/entry_list_ui.h"
#include "entries/entry_undo.h"
#include "entries/export_scope.h"
#include "entries/skip_existing.h"
#include "entries/vcard_export_dlg.h"
#include "entries/vcard_import_dlg.h"
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

std::optional<QByteArray> VCardDataOf(const QMimeData& data) {
    for (const char* type : {"text/vcard", "text/x-vcard", "text/directory"}) {
        const QString name = QString::fromLatin1(type);
        if (data.hasFormat(name)) {
            return data.data(name);
        }
    }
    if (data.hasText()) {
        const QString text = data.text();
        if (text.trimmed().startsWith(QLatin1String("BEGIN:VCARD"), Qt::CaseInsensitive)) {
            return text.toUtf8();
        }
    }
    return std::nullopt;
}

void ImportVCardCommand::OnFileImportVCard() {
    platform::FileDialogRequest request = VCardFileRequest(resources::kStrOpenCaption);
    request.mustExist = true;
    const std::optional<QString> path =
        platform::Dialogs().GetOpenFileName(m_services.DialogParent(), request);
    if (!path) {
        return;
    }
    // Into an empty book nothing is skipped: no question then.
    bool skip = false;
    if (m_services.list->RowCount() > 0) {
        CVCardImportDlg dialog(m_services.DialogParent());
        dialog.m_bSkipExisting = RememberedSkipExisting(*m_services.profile);
        dialog.UpdateControls();
        if (m_services.RunDialog(dialog) != QDialog::Accepted) {
            return;
        }
        RememberSkipExisting(*m_services.profile, dialog.m_bSkipExisting);
        skip = dialog.m_bSkipExisting;
    }
    ImportVCard(*path, skip);
}

bool ImportVCardCommand::ImportVCard(const QString& path) {
    return ImportVCard(path, RememberedSkipExisting(*m_services.profile));
}

bool ImportVCardCommand::ImportVCard(const QString& path, bool skipExisting) {
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
    std::optional<addressbook::CExistingEntries> existing;
    if (skipExisting) {
        existing.emplace(*m_services.list);
    }
    addressbook::StagedEntries staged;
    addressbook::VCardImportReport report;
    int error = 0;
    const int count = addressbook::ImportVCardEntries(native, staged, report, nullptr, &error,
                                                      ReadProgress(resources::kStrImporting),
                                                      existing ? &*existing : nullptr);
    wait.reset();
    if (count < 0) {
        platform::ReportFileError(error, path, parent);
        platform::ShowStatusText(resources::kStrIdleMessage);
        return false;
    }
    return AddImported(staged, report, resources::kCmdFileImportVCard, QFileInfo(path).fileName());
}

bool ImportVCardCommand::ImportDroppedData(const QMimeData& data) {
    const std::optional<QByteArray> cards = VCardDataOf(data);
    return cards && ImportVCardBytes(*cards, RememberedSkipExisting(*m_services.profile), false,
                                     resources::kCmdFileImportVCard,
                                     ResourceString(resources::kStrDroppedDataName));
}

bool ImportVCardCommand::ImportVCardBytes(const QByteArray& bytes, bool skipExisting,
                                          bool newIdentity, int commandId,
                                          const QString& sourceName) {
    platform::ShowStatusText(resources::kStrImporting);
    std::optional<addressbook::CExistingEntries> existing;
    if (skipExisting) {
        existing.emplace(*m_services.list);
    }
    addressbook::StagedEntries staged;
    addressbook::VCardImportReport report;
    addressbook::ImportVCardEntriesFromBytes(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), staged, report,
        existing ? &*existing : nullptr);
    if (newIdentity) {
        // One contact, one identity: a card of an entry of this book comes
        // in as a copy of it.
        std::unordered_set<std::string> held;
        for (int row = 0; row < m_services.list->RowCount(); ++row) {
            if (const auto uid = addressbook::EntryUid(m_services.list->EntryAt(row))) {
                held.emplace(*uid);
            }
        }
        for (auto& entry : staged.entries) {
            const auto uid = addressbook::EntryUid(*entry);
            if (uid && held.count(std::string(*uid)) != 0) {
                *entry = addressbook::CopyWithoutIdentity(*entry);
            }
        }
    }
    return AddImported(staged, report, commandId, sourceName);
}

bool ImportVCardCommand::AddImported(addressbook::StagedEntries& staged,
                                     addressbook::VCardImportReport& report, int commandId,
                                     const QString& sourceName) {
    QWidget* parent = m_services.DialogParent();
    const QString text = FromUtf8(addressbook::ImportReportText(report, ToUtf8(sourceName)));
    const bool added = !staged.entries.empty();
    if (added) {
        // The cards are read; the rows are still to be added and sorted in.
        // They are one step of the undo history, which marks the book
        // modified.
        platform::ShowStatusText(resources::kStrImporting);
        std::optional<platform::WaitCursor> wait(std::in_place);
        m_services.undo->AddEntries(UndoText(commandId), std::move(staged.entries), false);
    }
    // No card at all is a warning; cards that were all in the book already
    // are not.
    const bool nothingRead = !added && report.skipped == 0;
    platform::ShowMessageBox(
        text, nothingRead ? platform::MessageIcon::kWarning : platform::MessageIcon::kInformation,
        platform::MessageButtons::kOk, parent);
    platform::ShowStatusText(resources::kStrIdleMessage);
    return added;
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
    const CExportScope scope(*m_services.list);
    QCheckBox* selectedOnly = nullptr;
    if (scope.IsOffered()) {
        selectedOnly = MakeSelectedOnlyBox(&dialog);
        selectedOnly->show();
        dialog.OptionsLayout()->addWidget(selectedOnly);
    }
    if (m_services.RunDialog(dialog) != QDialog::Accepted) {
        writer.Discard();  // an existing file stays as it was
        return false;
    }
    if (ReadSetting(*m_services.profile, settings::kRememberExp) != 0) {
        WriteSetting(*m_services.profile, settings::kVCardVersion,
                     dialog.m_version == Version::V40 ? "4.0" : "3.0");
    }
    return ExportRows(writer, dialog.m_version,
                      scope.RowNumbers(selectedOnly != nullptr && selectedOnly->isChecked()));
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
