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
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "platform/command_router.h"

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

    // The file dialogs' filter and default extension.
    static QString FileFilter();
    static QString DefaultExtension();

private:
    CDocument& m_document;
    RecentFileList* m_recentFiles;
    QPointer<QWidget> m_dialogParent;
    CommandTarget m_appTarget;
    CommandTarget m_docTarget;
};

}  // namespace platform
