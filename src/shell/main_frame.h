// CMainFrame: the program's one top-level window.
//
// It draws its own title bar (CCaptionBar), holds the menu bar, the toolbar,
// the status bar with its message, lock-key and clock panes, and the address
// list in its client area.  It saves and restores its placement in
// [Preferences] "WindowPos", remembers the toolbar's flat look, and runs the
// window commands: Save Window Size, Flat Toolbar, Status Bar, Toolbar and
// the quick-find focus key.  Closing it saves the placement and then asks to
// save a modified book, which may cancel the close.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>
#include <optional>

#include "platform/command_router.h"
#include "shell/quick_find_toolbar.h"
#include "shell/window_placement.h"

class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;

namespace settings {
class SettingsStore;
}
namespace platform {
class CDocManager;
class CDocument;
class StatusPrompter;
}  // namespace platform

namespace shell {

class CCaptionBar;
class CTrayIcon;

// How the window is first shown.
enum class ShowCommand { kHide, kNormal, kMinimized };

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kClockPeriodMs = 2000;
    static constexpr int kBorderWidth = 4;

    explicit CMainFrame(settings::SettingsStore& settings, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The creation sequence: caption, menus, stored placement, toolbar,
    // flat look, status bar, clock.  False when a part could not be made.
    bool Create();

    platform::CommandRouter& Router() { return *m_pRouter; }
    platform::StatusPrompter& Prompter() { return *m_pPrompter; }
    CCaptionBar* CaptionBar() const { return m_pCaption; }
    CQuickFindToolBar* ToolBar() const { return m_pToolBar; }
    QStatusBar* StatusBarWidget() const { return m_pStatusBar; }
    QLabel* Pane(int index) const { return m_panes[static_cast<std::size_t>(index)]; }

    // The book whose title the window shows and whose changes are checked
    // before the window closes.
    void SetDocument(platform::CDocument* document, platform::CDocManager* manager);
    // The address list, filling the client area.
    void SetView(QWidget* view);
    // The widget that Alt+F3 focuses (the toolbar's quick-find box).
    void SetQuickFindBox(QWidget* box) { m_pQuickFind = box; }

    // "Quillbox - [path]", or "Quillbox - [Untitled]" for a book never saved.
    QString Title() const;
    void UpdateTitle();

    // Puts string-table text `id` into the message pane at once.
    void ShowStatusText(int id);
    // The same followed by `percent` and "%".
    void ShowStatusProgress(int id, int percent);

    // ---- Placement ----
    // [Preferences] "WindowPos", when it holds a placement.
    std::optional<WindowPlacement> ReadPlacement() const;
    WindowPlacement CurrentPlacement() const;
    // Writes the current placement, unless the window is minimized.
    void SavePlacement();
    // Moves the window to the placement's normal rectangle; the window is to
    // be shown maximized when the placement says so.
    void ApplyPlacement(const WindowPlacement& placement);
    bool WantsMaximized() const { return m_bShowMaximized; }
    // Shows the window for the first time.
    void ShowFirstTime(ShowCommand command);

    // ---- Commands ----
    void OnSaveWindowSize();
    void OnViewFlatToolbar();
    void OnViewStatusBar();
    void OnViewToolbar();
    void OnQuickFindFocus();

    // ---- Clock ----
    void UpdateClock();
    bool ClockRunning() const { return m_clockTimer.isActive(); }
    // The lock-key panes follow the keyboard.
    void UpdateLockKeys();

    // ---- Tray ----
    // Non-zero while the window is represented by a tray icon.
    bool IsTrayShown() const;
    CTrayIcon& Tray() { return *m_pTray; }
    // The tray icon's menu: Show, Preferences, About, Help, Exit.
    QMenu* TrayMenu() const { return m_pTrayMenu; }
    // Show (kCmdTrayShow): the window comes back as it was; the icon goes.
    void OnTrayShow();
    // Exit (kCmdTrayExit): removes the icon, hides the window, asks to save a
    // modified book and ends the program without saving the placement.
    // Cancelling the question (or a failed save) keeps the program running
    // with its window shown, so no changes are lost.
    void OnTrayExit();
    // How the program ends after Exit (default: QCoreApplication::exit).
    void SetQuitHandler(std::function<void(int exitCode)> quit) { m_quit = std::move(quit); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool CreateToolBar();
    bool CreateStatusBar();
    void RegisterCommands();
    void UpdateBorder();
    void PlaceResizeHandles();

    settings::SettingsStore& m_settings;
    platform::CommandRouter* m_pRouter = nullptr;
    platform::StatusPrompter* m_pPrompter = nullptr;
    platform::CommandTarget m_commands;
    CCaptionBar* m_pCaption = nullptr;
    QMenuBar* m_pMenuBar = nullptr;
    CQuickFindToolBar* m_pToolBar = nullptr;
    QStatusBar* m_pStatusBar = nullptr;
    std::array<QLabel*, 5> m_panes{};
    QTimer m_clockTimer;
    QPointer<platform::CDocument> m_pDocument;
    QPointer<platform::CDocManager> m_pDocManager;
    QPointer<QWidget> m_pQuickFind;
    std::array<QWidget*, 8> m_resizeHandles{};
    // Minimizing with "RememberTray" on hides the window to the tray
    // instead; true when it did.
    bool HideToTray(Qt::WindowStates oldState);

    CTrayIcon* m_pTray = nullptr;
    QMenu* m_pTrayMenu = nullptr;
    std::function<void(int)> m_quit;
    bool m_bShowMaximized = false;
};

}  // namespace shell
