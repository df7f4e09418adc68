// CQuickFindToolBar: the main window's toolbar.  A flat-painting
// CToolBarEx that also holds the quick-find box (CQuickFindCombo) in place
// of its slot-9 separator and opens the Dial, Email and Web menus under
// those buttons.
//
// Keys in the quick-find box, seen before the box handles them:
//   Enter   searches for the box's text (a beep when it is empty), selecting
//           the whole text first;
//   Escape  gives the focus back to the address list;
//   Delete  clears the selected text only;
//   Down    opens the closed list (an open list handles it itself).
// While the box has the focus, the window-wide keys (Enter, Del, Ins,
// Ctrl+C and the others the editor uses) reach the box and not the list's
// commands.
#pragma once

#include <QComboBox>
#include <QPointer>

#include <functional>
#include <memory>

#include "entries/find_history.h"
#include "shell/tool_bar_ex.h"

class QMenu;

namespace platform {
class CommandRouter;
class StatusPrompter;
}  // namespace platform

namespace shell {

// The quick-find combo box: editable, with the search history as its list,
// in a bold font of its own.  It searches the field last chosen in the Find
// dialog, and its tooltip and accessible name say which ("Find in Email 1").
class CQuickFindCombo : public QComboBox {
    Q_OBJECT

public:
    static constexpr int kWidth = 160;
    static constexpr int kListHeight = 100;

    explicit CQuickFindCombo(QWidget* parent = nullptr);

    // Names the field searched, by its list label ("Email 1").
    void SetSearchField(const QString& fieldLabel);
};

class CQuickFindToolBar : public CToolBarEx {
    Q_OBJECT

public:
    explicit CQuickFindToolBar(const QString& title, QWidget* parent = nullptr);
    ~CQuickFindToolBar() override;

    // Puts the quick-find box where `slot` (a separator of this bar) stands
    // and removes the separator.  False when `slot` is not on the bar.
    bool CreateQuickFindBox(QAction* slot);
    CQuickFindCombo* QuickFindBox() const { return m_pCombo; }

    // The mirror that keeps the box's list equal to the find history.
    entries::IFindHistoryMirror& HistoryMirror() { return *m_pMirror; }

    // Runs the search for a non-empty text (the find commands' quick find,
    // which adds the text to the history and searches as Find Next does).
    void SetQuickFindHandler(std::function<void(const QString&)> handler) {
        m_quickFind = std::move(handler);
    }
    // The widget Escape gives the focus to (the address list).
    void SetFocusReturn(QWidget* widget) { m_pFocusReturn = widget; }
    // Where the drop-down menus send their commands.
    void SetRouter(platform::CommandRouter* router, platform::StatusPrompter* prompter = nullptr) {
        m_pRouter = router;
        m_pPrompter = prompter;
    }
    // Runs a filled drop-down menu at a screen point (default: QMenu::exec).
    void SetPopupHandler(std::function<void(QMenu&, const QPoint&)> handler) {
        m_popup = std::move(handler);
    }
    // A beep for Enter in an empty box (default: QApplication::beep).
    void SetBeepHandler(std::function<void()> handler) { m_beep = std::move(handler); }

    // The pop-up of kMenuTray that the button of `command` drops down: 1
    // for Dial, 2 for Email, 3 for Web; -1 for other buttons.
    static int DropDownMenuIndex(int command);
    // Opens the drop-down menu of `command` under its button; false when the
    // button has none.
    bool ShowDropDown(int command);

    // The key handling of the box; true when the key was consumed.
    bool HandleQuickFindKey(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CQuickFindCombo* m_pCombo = nullptr;
    std::unique_ptr<entries::ComboHistoryMirror> m_pMirror;
    std::function<void(const QString&)> m_quickFind;
    std::function<void(QMenu&, const QPoint&)> m_popup;
    std::function<void()> m_beep;
    QPointer<QWidget> m_pFocusReturn;
    platform::CommandRouter* m_pRouter = nullptr;
    platform::StatusPrompter* m_pPrompter = nullptr;
};

}  // namespace shell
