#include "platform/doc_manager.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "platform/app_services.h"
#include "platform/dialogs.h"
#include "platform/document.h"
#include "platform/recent_file_list.h"
#include "platform/string_resource.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace platform {
namespace {

QString DocText(resources::DocStringIndex index) {
    std::string_view text = resources::DocString(index);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Formatted(int id, const QString& argument) {
    return QString::fromStdString(
        resources::FormatString(resources::LoadString(id), {argument.toStdString()}));
}

QString AbsolutePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool SameFile(const QString& a, const QString& b) {
    QString canonicalA = QFileInfo(a).canonicalFilePath();
    if (!canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath()) {
        return true;
    }
    return AbsolutePath(a) == AbsolutePath(b);
}

// "Cannot open %1." or "Cannot save %1.", then the reason on its own
// paragraph.
QString FailureText(int id, const QString& path, const QString& reason) {
    QString text = Formatted(id, path);
    if (!reason.isEmpty()) {
        text += QStringLiteral("\n\n") + reason;
    }
    return text;
}

}  // namespace

CDocManager::CDocManager(CDocument& document, RecentFileList* recentFiles, QObject* parent)
    : QObject(parent), m_document(document), m_recentFiles(recentFiles) {
    connect(&m_watcher, &FileChangeWatcher::changedOnDisk, this, &CDocManager::OnChangedOnDisk);
    // Changes undone after another program's change was seen: nothing holds
    // the reload back any more.
    connect(&m_document, &CDocument::modifiedChanged, this, [this](bool modified) {
        if (!modified) {
            m_watcher.CheckLater();
        }
    });
}

CDocManager::~CDocManager() = default;

QString CDocManager::FileFilter() {
    QString name = DocText(resources::DocStringIndex::kFilterName);
    QString pattern = QLatin1Char('*') + DocText(resources::DocStringIndex::kFilterExt).toLower();
    return name + QLatin1Char('|') + pattern + QLatin1Char('|') +
           ResourceString(resources::kStrAllFilesFilter) + QStringLiteral("|*.*||");
}

QString CDocManager::DefaultExtension() {
    return DocText(resources::DocStringIndex::kFilterExt).mid(1).toLower();
}

void CDocManager::Attach(CommandRouter& router) {
    m_appTarget.OnCommand(resources::kCmdFileNew, [this] { OnFileNew(); });
    m_appTarget.OnCommand(resources::kCmdFileOpen, [this] { OnFileOpen(); });
    m_appTarget.OnCommandRange(
        resources::kCmdFileMruFirst, resources::kCmdFileMruLast,
        [this](int id) { OnOpenRecentFile(id - resources::kCmdFileMruFirst); });
    m_appTarget.OnUpdateRange(resources::kCmdFileMruFirst, resources::kCmdFileMruLast,
                              [this](CCmdUI& ui) {
                                  if (m_recentFiles != nullptr) {
                                      m_recentFiles->UpdateMenu(ui);
                                  } else {
                                      ui.Enable(false);
                                  }
                              });
    m_docTarget.OnCommand(resources::kCmdFileSave, [this] { OnFileSave(); });
    m_docTarget.OnCommand(resources::kCmdFileSaveAs, [this] { OnFileSaveAs(); });
    router.AddTarget(m_docTarget, RouteLevel::kDocument);
    router.AddTarget(m_appTarget, RouteLevel::kApplication);
}

bool CDocManager::SaveModified() {
    if (!m_document.IsModified()) {
        return true;
    }
    QString name = m_document.Title();
    if (name.isEmpty()) {
        name = ResourceString(resources::kStrUntitled);
    }
    switch (ShowMessageBox(Formatted(resources::kStrAskToSave, name), MessageIcon::kQuestion,
                           MessageButtons::kYesNoCancel, m_dialogParent)) {
        case MessageAnswer::kYes:
            return OnFileSave();
        case MessageAnswer::kNo:
            return true;
        default:
            return false;
    }
}

bool CDocManager::OnFileNew() {
    if (!SaveModified()) {
        return false;
    }
    m_document.SetTitle(ResourceString(resources::kStrUntitled));
    if (!m_document.OnNewDocument()) {
        return false;
    }
    m_watcher.Stop();
    m_document.SendInitialUpdate();
    return true;
}

bool CDocManager::OnFileOpen() {
    FileDialogRequest request;
    request.caption = ResourceString(resources::kStrOpenCaption);
    request.filter = FileFilter();
    request.defaultExtension = DefaultExtension();
    request.mustExist = true;
    std::optional<QString> path = Dialogs().GetOpenFileName(m_dialogParent, request);
    return path && OpenDocumentFile(*path) == OpenResult::kOpened;
}

OpenResult CDocManager::OpenDocumentFile(const QString& path, OpenMode mode) {
    QString full = AbsolutePath(path);
    if (!m_document.PathName().isEmpty() && SameFile(full, m_document.PathName())) {
        return OpenResult::kOpened;  // already the open book
    }
    if (!SaveModified()) {
        return OpenResult::kCancelled;
    }
    m_document.SetFailureReason({});
    if (!m_document.OnOpenDocument(full)) {
        if (mode == OpenMode::kReportFailure) {
            ShowMessageBox(FailureText(resources::kStrCannotOpen, full, m_document.FailureReason()),
                           MessageIcon::kError, MessageButtons::kOk, m_dialogParent);
        }
        return OpenResult::kFailed;
    }
    m_document.SetModifiedFlag(false);
    m_document.SetPathName(full);
    m_watcher.Watch(full);
    if (m_recentFiles != nullptr) {
        m_recentFiles->Add(full);
    }
    m_document.SendInitialUpdate();
    return OpenResult::kOpened;
}

bool CDocManager::OnOpenRecentFile(int index) {
    if (m_recentFiles == nullptr || index < 0 || index >= m_recentFiles->Count()) {
        return false;
    }
    OpenResult result = OpenDocumentFile(m_recentFiles->At(index));
    if (result == OpenResult::kFailed) {
        m_recentFiles->Remove(index);
    }
    return result == OpenResult::kOpened;
}

bool CDocManager::OnDropFiles(const QStringList& paths) {
    return !paths.isEmpty() && OpenDocumentFile(paths.first()) == OpenResult::kOpened;
}

bool CDocManager::OnFileSave() {
    const QString& path = m_document.PathName();
    QFileInfo info(path);
    if (path.isEmpty() || (info.exists() && !info.isWritable())) {
        return DoSave(QString());
    }
    return DoSave(path);
}

bool CDocManager::OnFileSaveAs() {
    return DoSave(QString());
}

bool CDocManager::DoSave(const QString& path) {
    QString target = path;
    if (target.isEmpty()) {
        FileDialogRequest request;
        request.caption = ResourceString(resources::kStrSaveAsCaption);
        request.filter = FileFilter();
        request.defaultExtension = DefaultExtension();
        request.promptOverwrite = true;
        request.initialName = m_document.PathName();
        if (request.initialName.isEmpty()) {
            request.initialName = AppendDefaultExtension(m_document.Title(), DefaultExtension());
        }
        std::optional<QString> chosen = Dialogs().GetSaveFileName(m_dialogParent, request);
        if (!chosen) {
            return false;
        }
        target = AbsolutePath(*chosen);
    }
    if (!ConfirmOverwriteOfChange(target)) {
        return false;
    }
    m_document.SetFailureReason({});
    if (!m_document.OnSaveDocument(target)) {
        ShowMessageBox(FailureText(resources::kStrCannotSave, target, m_document.FailureReason()),
                       MessageIcon::kError, MessageButtons::kOk, m_dialogParent);
        return false;
    }
    m_document.SetPathName(target);
    // The file just written is the window's own: no reload for it.
    m_watcher.Watch(target);
    if (m_recentFiles != nullptr) {
        m_recentFiles->Add(target);
    }
    return true;
}

bool CDocManager::ConfirmOverwriteOfChange(const QString& target) {
    if (m_watcher.Path().isEmpty() || !SameFile(target, m_watcher.Path()) ||
        !m_watcher.HasChanged()) {
        return true;
    }
    switch (ShowMessageBox(ResourceString(resources::kStrChangedOnDisk), MessageIcon::kWarning,
                           MessageButtons::kReloadSaveAnywayCancel, m_dialogParent)) {
        case MessageAnswer::kSaveAnyway:
            return true;
        case MessageAnswer::kReload:
            ReloadDocument(OpenMode::kReportFailure);
            return false;
        default:
            return false;
    }
}

bool CDocManager::ReloadDocument(OpenMode mode) {
    const QString path = m_document.PathName();
    if (path.isEmpty()) {
        return false;
    }
    m_document.SetFailureReason({});
    if (!m_document.OnOpenDocument(path)) {
        // Still the old list and the old stamp: a file caught half-written
        // is read again at its next change, and a save still asks first.
        if (mode == OpenMode::kReportFailure) {
            ShowMessageBox(FailureText(resources::kStrCannotOpen, path, m_document.FailureReason()),
                           MessageIcon::kError, MessageButtons::kOk, m_dialogParent);
        }
        return false;
    }
    m_watcher.Watch(path);
    m_document.SetModifiedFlag(false);
    m_document.SendReloadUpdate();
    ShowStatusText(resources::kStrBookReloaded);
    return true;
}

void CDocManager::OnChangedOnDisk() {
    if (m_document.IsModified()) {
        return;  // asked about before the next save
    }
    if (QApplication::activeModalWidget() != nullptr) {
        // A dialog may be working on the rows that a reload would replace.
        m_watcher.CheckLater();
        return;
    }
    ReloadDocument(OpenMode::kSilent);
}

}  // namespace platform
