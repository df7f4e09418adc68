// Command routing: one QAction per command number, handlers found by walking
// the command targets in routing order, and command-state updates.
//
// Targets register handlers by command number.  A command goes to the first
// target, in the order view -> document -> frame -> application (and, within
// a level, in the order the targets were added), that has a handler for it.
// Command states work the same way: the first target with an update handler
// for the number gets a CCmdUI on which it enables, checks or renames the
// command.  A command whose update handler does not decide the enabled state
// is enabled exactly when some target handles it, so a command nobody handles
// is greyed.  A command that is disabled at the moment it is invoked (menu,
// toolbar, accelerator or Execute) does not run.
//
// States are updated just before a menu built by menu_builder.h opens and,
// for everything else (toolbar buttons, accelerators), when the event loop
// becomes idle after user input or after RequestIdleUpdate.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace platform {

class CommandRouter;

// What an update handler may change about one command.  Used with an action
// (the command's QAction) or, to test whether a command may run, without one.
class CCmdUI {
public:
    CCmdUI(int id, QAction* action, QMenu* menu, CommandRouter* router);

    int Id() const { return m_nId; }
    void Enable(bool on = true);
    void SetCheck(bool checked = true);  // shows a check mark
    void SetText(const QString& text);

    // The action being updated; null when only testing whether to run.
    QAction* Action() const { return m_action; }
    // The menu about to open, or null for idle-time updates.
    QMenu* Menu() const { return m_menu; }
    CommandRouter* Router() const { return m_router; }

    bool EnableChanged() const { return m_bEnableChanged; }
    bool IsEnabled() const { return m_bEnabled; }

private:
    int m_nId;
    QAction* m_action;
    QMenu* m_menu;
    CommandRouter* m_router;
    bool m_bEnableChanged = false;
    bool m_bEnabled = true;
};

// A set of command and update handlers.  A later registration for the same
// number takes precedence over an earlier one.  The target leaves its router
// when destroyed.
class CommandTarget {
public:
    using Handler = std::function<void()>;
    using RangeHandler = std::function<void(int id)>;
    using UpdateHandler = std::function<void(CCmdUI&)>;

    CommandTarget() = default;
    virtual ~CommandTarget();
    CommandTarget(const CommandTarget&) = delete;
    CommandTarget& operator=(const CommandTarget&) = delete;

    void OnCommand(int id, Handler handler);
    void OnCommandRange(int first, int last, RangeHandler handler);
    void OnUpdate(int id, UpdateHandler handler);
    void OnUpdateRange(int first, int last, UpdateHandler handler);

    bool HandlesCommand(int id) const;
    // Runs the command's handler; false when this target has none.
    bool RunCommand(int id) const;
    // Runs the command's update handler; false when this target has none.
    bool RunUpdate(CCmdUI& ui) const;

private:
    friend class CommandRouter;
    struct CommandEntry {
        int first;
        int last;
        RangeHandler handler;
    };
    struct UpdateEntry {
        int first;
        int last;
        UpdateHandler handler;
    };
    std::vector<CommandEntry> m_commands;
    std::vector<UpdateEntry> m_updates;
    CommandRouter* m_router = nullptr;
};

enum class RouteLevel { kView = 0, kDocument = 1, kFrame = 2, kApplication = 3 };

class CommandRouter : public QObject {
    Q_OBJECT

public:
    // Makes the actions of every command of the program (texts from the main
    // menu, prompts and tooltips from the string table, shortcuts from the
    // accelerator table).  They are added to `actionOwner`, normally the main
    // window, so that their shortcuts work while it is active.
    explicit CommandRouter(QWidget* actionOwner = nullptr, QObject* parent = nullptr);
    ~CommandRouter() override;

    void AddTarget(CommandTarget& target, RouteLevel level);
    void RemoveTarget(CommandTarget& target);

    // The command's action; made on first use for a number the program does
    // not know.  Null for numbers <= 0.
    QAction* Action(int id);
    // Another action for the same command with its own text (for menus that
    // name the command differently); it follows the command's state and
    // invokes the command.  Owned by `parent`.
    QAction* MakeTwinAction(int id, const QString& text, QObject* parent);
    // The command number an action stands for, 0 for none.
    static int CommandOf(const QAction* action);

    // Runs the command if it is enabled and some target handles it.
    bool Execute(int id);
    // Whether the command would run now (its update handlers are asked).
    bool IsEnabled(int id);

    // Runs the update handlers for one command, the commands of a menu, or
    // every command.
    void UpdateCommand(int id);
    void UpdateMenu(QMenu* menu);
    void UpdateAll();

    // Asks for UpdateAll once the event loop has nothing else to do.
    void RequestIdleUpdate();
    // Idle updates after user input are on by default.
    void SetIdleUpdates(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class CommandTarget;
    QAction* CreateAction(int id);
    void ExecuteAndRefresh(int id);
    void ApplyUpdate(int id, QAction* action, QMenu* menu);
    bool RouteUpdate(CCmdUI& ui) const;
    bool HasHandler(int id) const;
    void Forget(CommandTarget* target);

    struct Route {
        RouteLevel level;
        CommandTarget* target;
    };
    std::vector<Route> m_routes;
    std::map<int, QAction*> m_actions;
    QPointer<QWidget> m_owner;
    QTimer m_idleTimer;
    bool m_bIdleUpdates = true;
};

}  // namespace platform
