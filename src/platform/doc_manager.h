// The document manager of the single-document window: New, Open, Save,
// Save As, the recent-file entries and dropped files, all on the one
// document, with the "Save changes to %1?" check before the book is replaced
// or the program ends.
//
// Order of events:
//  - New: the save-changes check; the title becomes "Untitled";
//    OnNewDocument; the views' initial update.
//  - Open: the file dialog ("Quillbox Files (*.qxd)"); the save-changes
//    check; OnOpenDocument; on success the path and title, the recent-file
//    list and the views' initial update.  Opening the book that is already
//    open changes nothing.  A failed open says "Cannot open %1." with the
//    document's reason, unless the caller asked for silence.
//  - Save: a book never saved, or whose file may not be written, goes
//    through Save As; otherwise OnSaveDocument on its path.  Save As asks for
//    a name (the extension ".qxd" is added when none is typed, and replacing
//    a file is confirmed).  A failed save says "Cannot save %1." with the
//    reason; the modified flag stays as the document left it.
//  - The save-changes check: only for a modified book; Yes saves (and a
//    failed or cancelled save abandons what was asked), No goes on, Cancel
//    abandons.
//  - A book changed on disk by another program (a sync run, a second
//    window): after each own open and save the file is watched.  Without
//    unsaved changes the book is read again at once; with unsaved changes
//    nothing happens until a save, which first asks "The address book was
//    changed by another program since you opened it." with Reload (the
//    window's changes are dropped and the file read), Save Anyway (the file
//    is written over) and Cancel (nothing is saved).  A read that fails (a
//    file still being written) keeps the list as it is.  A file that was
//    deleted is simply written again by the next save.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "platform/command_router.h"
#include "platform/file_change_watcher.h"

namespace platform {

class CDocument;
class RecentFileList;

enum class OpenResult { kOpened, kCancelled, kFailed };
enum class OpenMode { kReportFailure, kSilent };

class CDocManager : public QObject {
    Q_OBJECT

public:
    // `recentFiles` may be null (no recent-file list).
    CDocManager(CDocument& document, RecentFileList* recentFiles, QObject* parent = nullptr);
    ~CDocManager() override;

    CDocument& Document() { return m_document; }
    // The window that owns the dialogs (may be null).
    void SetDialogParent(QWidget* parent) { m_dialogParent = parent; }

    // Registers New, Open and the recent-file entries at the application
    // level and Save and Save As at the document level.
    void Attach(CommandRouter& router);

    bool OnFileNew();
    bool OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    // Opens recent-file entry `index`; an entry that fails to open (not one
    // the user cancelled) is removed from the list.
    bool OnOpenRecentFile(int index);
    // Opens the first of the dropped files.
    bool OnDropFiles(const QStringList& paths);

    OpenResult OpenDocumentFile(const QString& path, OpenMode mode = OpenMode::kReportFailure);
    // The save-changes check; false means abandon.
    bool SaveModified();
    // Saves to `path`, or asks for a name first when it is empty.
    bool DoSave(const QString& path);
    // Reads the open book again from its file and tells the views; the
    // window's unsaved changes are dropped.  On failure the list stays as
    // it was and, with kReportFailure, "Cannot open %1." says why.
    bool ReloadDocument(OpenMode mode);

    // The watch on the open book's file.
    FileChangeWatcher& Watcher() { return m_watcher; }

    // The file dialogs' filter and default extension.
    static QString FileFilter();
    static QString DefaultExtension();

private:
    // The watcher saw another program's change.
    void OnChangedOnDisk();
    // Before writing over the open book's own file: false when the file
    // changed on disk and the user chose Reload or Cancel.
    bool ConfirmOverwriteOfChange(const QString& target);

    CDocument& m_document;
    RecentFileList* m_recentFiles;
    QPointer<QWidget> m_dialogParent;
    CommandTarget m_appTarget;
    CommandTarget m_docTarget;
    FileChangeWatcher m_watcher;
};

}  // namespace platform
