// The status bar's message pane: progress texts, and the fly-by prompts of
// menu items and toolbar buttons.
//
// While the mouse is over a menu item or a toolbar button, the pane shows the
// command's prompt (the text of its string-table entry before the line feed,
// which the command's action carries as its status tip).  When the mouse
// leaves it or the menu closes, the pane returns to the idle text
// "For Help, press F1".
#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>

class QMenu;
class QWidget;

namespace platform {

class StatusPrompter : public QObject {
    Q_OBJECT

public:
    // `pane` shows the texts.  The status tips that reach `window` (from its
    // toolbar buttons and menu bar) are shown there instead of in the
    // window's own status-bar message.
    explicit StatusPrompter(QLabel* pane, QWidget* window = nullptr, QObject* parent = nullptr);

    void ShowText(const QString& text);
    // The string-table text of `id`; unknown numbers are ignored.
    void ShowStringId(int id);
    void ShowIdle();
    // Follows the hovered items of `menu` and restores the idle text when it
    // closes.  Needed for pop-up menus, whose status tips reach no window.
    void WatchMenu(QMenu* menu);

    QString Text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPrompt(const QString& prompt);

    QPointer<QLabel> m_pane;
};

}  // namespace platform
