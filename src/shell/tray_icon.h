// The main window's icon in the desktop's notification area.
//
// CTrayIcon is the window's tray state: whether the icon is shown, the
// window state to come back to, and the icon itself behind ITrayIcon, so
// that tests put a fake in its place (SetTrayFactoryForTesting).  The icon's
// tooltip is the window title cut to 63 characters; a left click brings the
// window back, a right click opens the tray menu (Show, Preferences, About,
// Help, Exit).
//
// While the icon is shown the application does not end when its last
// visible window closes: the window is hidden, and a dialog opened from the
// tray menu must not take the program with it when it closes.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace shell {

// The longest tooltip, in characters.
inline constexpr int kTrayTooltipMax = 63;

// `title` cut to at most 63 characters (a character made of two UTF-16
// units is never split).
QString TrayTooltip(const QString& title);

// One notification-area icon.
class ITrayIcon {
public:
    enum class Click { kLeft, kRight, kOther };

    virtual ~ITrayIcon() = default;
    // False on a desktop without a notification area.
    virtual bool IsAvailable() const = 0;
    // Puts the icon into the notification area with `tooltip`.
    virtual void Add(const QString& tooltip) = 0;
    virtual void Remove() = 0;
    // The menu the icon opens on a right click (not owned).
    virtual void SetMenu(QMenu* menu) = 0;
    // Called for each click on the icon.
    void SetClickHandler(std::function<void(Click)> handler) { m_onClick = std::move(handler); }

protected:
    void Clicked(Click click) const {
        if (m_onClick) {
            m_onClick(click);
        }
    }

private:
    std::function<void(Click)> m_onClick;
};

// The real icon: QSystemTrayIcon with the application icon.
class QtTrayIcon final : public ITrayIcon {
public:
    QtTrayIcon();
    ~QtTrayIcon() override;
    bool IsAvailable() const override;
    void Add(const QString& tooltip) override;
    void Remove() override;
    void SetMenu(QMenu* menu) override;

private:
    std::unique_ptr<QSystemTrayIcon> m_pIcon;
};

using TrayFactory = std::function<std::unique_ptr<ITrayIcon>()>;
// Makes the icons of windows created from now on; an empty factory restores
// the real icon.
void SetTrayFactoryForTesting(TrayFactory factory);
std::unique_ptr<ITrayIcon> MakeTrayIcon();

class CTrayIcon : public QObject {
    Q_OBJECT

public:
    // `window` is the main window it stands for.
    CTrayIcon(QWidget* window, std::unique_ptr<ITrayIcon> icon);
    ~CTrayIcon() override;

    bool IsAvailable() const { return m_pIcon->IsAvailable(); }
    // Non-zero while the icon is in the notification area.
    bool IsShown() const { return m_bShown; }
    ITrayIcon& Icon() { return *m_pIcon; }

    // Adds the icon with the tooltip made from `title` and sets the shown
    // flag.
    void AddIcon(const QString& title);
    // Removes the icon; does nothing when it is not shown.
    void RemoveIcon();

    // Hides the window into the notification area; `restoreState` is the
    // state it comes back in (maximized or not).
    void HideWindow(const QString& title, Qt::WindowStates restoreState);
    // The window's state when it comes back.
    void SetRestoreState(Qt::WindowStates state) { m_restoreState = state; }
    // Shows the window in the state it had, then removes the icon.
    void ShowWindow();

    void SetMenu(QMenu* menu);

private:
    void OnClick(ITrayIcon::Click click);

    QPointer<QWidget> m_pWindow;
    std::unique_ptr<ITrayIcon> m_pIcon;
    bool m_bShown = false;
    bool m_bQuitOnLastClosed = true;
    Qt::WindowStates m_restoreState = Qt::WindowNoState;
};

}  // namespace shell
