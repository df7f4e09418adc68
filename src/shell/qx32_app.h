// CQX32App: the application object.
//
// Start-up, in order: place the settings file; set up the recent-book list
// from "UseMRU" and "NumMRU"; make the document, the main window and the
// address list; register the book file type with the desktop; run the
// command line (open the named book, or start a new one); show the window
// (hidden with "StartMinimized"); and, with no book named and "UseLastBook"
// on, reopen the last book silently.  The application also owns the status
// texts of the first status pane, the About box and the Help command (the
// manual opens with the desktop's program for it, or in a window of ours
// when the desktop has none).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

#include "platform/command_router.h"
#include "preferences/pref_sheet.h"

namespace settings {
class SettingsStore;
}
namespace platform {
class CDocManager;
class FileDropHandler;
class IProfile;
class RecentFileList;
}  // namespace platform
namespace document {
class CQX32Doc;
}
namespace addresslist {
class CQX32View;
}
namespace entries {
class CEntriesController;
}
namespace print {
class CPrintCommands;
}
namespace syncui {
class CSyncController;
}

namespace shell {

class CHelpViewer;
class CMainFrame;
enum class ShowCommand;

struct AppOptions {
    // The program file; the settings and help files are found beside it.
    // Empty means the running program's own file.
    QString programPath;
    // Write the desktop's file-type registration at start-up.
    bool registerFileType = true;
};

class CQX32App : public QObject {
    Q_OBJECT

public:
    explicit CQX32App(AppOptions options = {}, QObject* parent = nullptr);
    ~CQX32App() override;

    // Runs the start-up.  False means the program ends at once with
    // ExitCode() (0 after --help, non-zero after a failure).
    bool InitInstance(const QStringList& arguments);
    // Writes the recent-book list.
    void ExitInstance();
    int ExitCode() const { return m_nExitCode; }

    // Puts string-table text `id` into the first status pane and repaints
    // it at once; does nothing while the application is starting.
    void ShowStatusText(int id);
    // The same with how far a long operation has come.
    void ShowStatusProgress(int id, int percent);
    // Files dropped on the window: vCard files are imported into the open
    // book; of the others the first is opened as a book, before the imports
    // (which are abandoned when it does not open).
    void OnDropFiles(const QStringList& paths);
    bool IsStarting() const { return m_bStarting; }

    void OnAppAbout();
    // Preferences (kCmdPreferences), a command of the address list: the
    // preferences sheet over the settings and the list's column widths.
    void OnPreferences();
    // Runs the preferences sheet instead of QDialog::exec (for tests).
    void SetPreferencesRunner(preferences::SheetRunner run) { m_runPreferences = std::move(run); }
    void OnHelp();
    // The help manual: the program file's name with ".html", beside it, or
    // in the installed documentation folder.  Empty when neither exists.
    QString HelpFilePath() const;

    const QString& SettingsPath() const { return m_strSettingsPath; }
    settings::SettingsStore& Settings() { return *m_pSettings; }
    CMainFrame* MainFrame() const { return m_pFrame.get(); }
    document::CQX32Doc* Document() const { return m_pDoc.get(); }
    addresslist::CQX32View* View() const { return m_pView; }
    entries::CEntriesController* Entries() const { return m_pEntries.get(); }
    syncui::CSyncController* Sync() const { return m_pSync.get(); }
    platform::CDocManager* DocManager() const { return m_pDocManager.get(); }
    platform::RecentFileList* RecentFiles() const { return m_pRecentFiles.get(); }

    // The command-line help text.
    static QString CommandLineHelp();
    // True when `arguments` (the program name first) ask only for text on
    // the terminal (--help, --version), which needs no display.
    static bool AnswersOnTheTerminal(const QStringList& arguments);

private:
    // The steps of InitInstance, in their order.
    void PlaceSettingsFile();
    void LoadRecentFileList();
    bool CreateWindowAndDocument();
    // How the window is first shown: hidden with "StartMinimized".
    ShowCommand FirstShowCommand() const;
    // Opens `book`, or a new book when it is empty.  A failure is reported
    // in a message box, or else on the error output.
    bool OpenStartingBook(const QString& book, bool reportFailure);
    // Shows the window and lets status texts and dropped files in.
    void ShowMainWindow(ShowCommand show);
    // With "UseLastBook" on, opens the last book silently.
    void ReopenLastBook();
    void RegisterCommands();
    // Prints the open book to `printer` (the default one when empty), or
    // to the PDF file `pdf` when one is named, without showing the window.
    bool PrintAndExit(const QString& path, const QString& printer, const QString& pdf);

    AppOptions m_options;
    bool m_bStarting = true;
    int m_nExitCode = 0;
    QString m_strProgramPath;
    QString m_strSettingsPath;
    std::unique_ptr<settings::SettingsStore> m_pSettings;
    std::unique_ptr<platform::IProfile> m_pProfile;
    std::unique_ptr<platform::RecentFileList> m_pRecentFiles;
    std::unique_ptr<document::CQX32Doc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    QPointer<CHelpViewer> m_pHelpViewer;        // made on first use, owned by the frame
    addresslist::CQX32View* m_pView = nullptr;  // owned by the frame
    std::unique_ptr<print::CPrintCommands> m_pPrint;
    std::unique_ptr<entries::CEntriesController> m_pEntries;
    std::unique_ptr<syncui::CSyncController> m_pSync;
    std::unique_ptr<platform::CDocManager> m_pDocManager;
    platform::CommandTarget m_commands;
    preferences::SheetRunner m_runPreferences;
};

}  // namespace shell
