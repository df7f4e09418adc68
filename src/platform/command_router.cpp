#include "platform/command_router.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>
#include <algorithm>

#include "resources/command_ids.h"
#include "resources/menus.h"
#include "resources/string_table.h"

namespace platform {
namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The text a command's action starts with: the main menu's, else the other
// menus', else the tooltip of its string-table entry.
QString InitialText(int id, unsigned* flags) {
    for (int menu : {resources::kMenuMain, resources::kMenuTray, resources::kMenuContext}) {
        if (const resources::MenuItem* item = resources::FindMenuCommand(menu, id)) {
            *flags = item->flags;
            return FromView(item->text);
        }
    }
    *flags = 0;
    return FromView(resources::CommandTooltip(id));
}

QList<QKeySequence> ShortcutsOf(int id) {
    QList<QKeySequence> keys;
    for (const resources::Accelerator& accel : resources::MainAccelerators()) {
        if (accel.command != id) {
            continue;
        }
        if (accel.keys == "Enter") {
            // One name for both Enter keys: the main one and the keypad's.
            keys << QKeySequence(Qt::Key_Return) << QKeySequence(Qt::Key_Enter);
        } else {
            keys << QKeySequence::fromString(FromView(accel.keys), QKeySequence::PortableText);
        }
    }
    return keys;
}

void CopyState(const QAction* from, QAction* to) {
    to->setEnabled(from->isEnabled());
    to->setCheckable(from->isCheckable());
    to->setChecked(from->isChecked());
    to->setVisible(from->isVisible());
}

}  // namespace

// ---- CCmdUI ----

CCmdUI::CCmdUI(int id, QAction* action, QMenu* menu, CommandRouter* router)
    : m_nId(id), m_action(action), m_menu(menu), m_router(router) {}

void CCmdUI::Enable(bool on) {
    m_bEnableChanged = true;
    m_bEnabled = on;
    if (m_action != nullptr) {
        m_action->setEnabled(on);
    }
}

void CCmdUI::SetCheck(bool checked) {
    if (m_action != nullptr) {
        m_action->setCheckable(true);
        m_action->setChecked(checked);
    }
}

void CCmdUI::SetText(const QString& text) {
    if (m_action != nullptr) {
        m_action->setText(text);
    }
}

// ---- CommandTarget ----

CommandTarget::~CommandTarget() {
    if (m_router != nullptr) {
        m_router->Forget(this);
    }
}

void CommandTarget::OnCommand(int id, Handler handler) {
    OnCommandRange(id, id, [fn = std::move(handler)](int) { fn(); });
}

void CommandTarget::OnCommandRange(int first, int last, RangeHandler handler) {
    m_commands.push_back({first, last, std::move(handler)});
}

void CommandTarget::OnUpdate(int id, UpdateHandler handler) {
    OnUpdateRange(id, id, std::move(handler));
}

void CommandTarget::OnUpdateRange(int first, int last, UpdateHandler handler) {
    m_updates.push_back({first, last, std::move(handler)});
}

bool CommandTarget::HandlesCommand(int id) const {
    return std::any_of(m_commands.begin(), m_commands.end(),
                       [id](const CommandEntry& e) { return id >= e.first && id <= e.last; });
}

bool CommandTarget::RunCommand(int id) const {
    for (auto it = m_commands.rbegin(); it != m_commands.rend(); ++it) {
        if (id >= it->first && id <= it->last) {
            // A copy: the handler may destroy this target (closing a window).
            RangeHandler handler = it->handler;
            handler(id);
            return true;
        }
    }
    return false;
}

bool CommandTarget::RunUpdate(CCmdUI& ui) const {
    for (auto it = m_updates.rbegin(); it != m_updates.rend(); ++it) {
        if (ui.Id() >= it->first && ui.Id() <= it->last) {
            UpdateHandler handler = it->handler;
            handler(ui);
            return true;
        }
    }
    return false;
}

// ---- CommandRouter ----

CommandRouter::CommandRouter(QWidget* actionOwner, QObject* parent)
    : QObject(parent), m_owner(actionOwner) {
    for (int id : resources::kAllCommands) {
        CreateAction(id);
    }
    for (int id = resources::kCmdFileMruFirst; id <= resources::kCmdFileMruLast; ++id) {
        CreateAction(id);
    }
    m_idleTimer.setSingleShot(true);
    m_idleTimer.setInterval(0);
    connect(&m_idleTimer, &QTimer::timeout, this, &CommandRouter::UpdateAll);
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

CommandRouter::~CommandRouter() {
    for (const Route& route : m_routes) {
        route.target->m_router = nullptr;
    }
}

void CommandRouter::AddTarget(CommandTarget& target, RouteLevel level) {
    if (target.m_router != nullptr) {
        target.m_router->RemoveTarget(target);
    }
    auto pos = std::upper_bound(m_routes.begin(), m_routes.end(), level,
                                [](RouteLevel l, const Route& r) { return l < r.level; });
    m_routes.insert(pos, Route{level, &target});
    target.m_router = this;
    RequestIdleUpdate();
}

void CommandRouter::RemoveTarget(CommandTarget& target) {
    Forget(&target);
    target.m_router = nullptr;
    RequestIdleUpdate();
}

void CommandRouter::Forget(CommandTarget* target) {
    m_routes.erase(std::remove_if(m_routes.begin(), m_routes.end(),
                                  [target](const Route& r) { return r.target == target; }),
                   m_routes.end());
}

QAction* CommandRouter::CreateAction(int id) {
    unsigned flags = 0;
    auto* action = new QAction(InitialText(id, &flags), this);
    action->setData(id);
    action->setStatusTip(FromView(resources::CommandPrompt(id)));
    QString tooltip = FromView(resources::CommandTooltip(id));
    if (!tooltip.isEmpty()) {
        action->setToolTip(tooltip);
    }
    QList<QKeySequence> keys = ShortcutsOf(id);
    if (!keys.isEmpty()) {
        action->setShortcuts(keys);
    }
    if ((flags & resources::kMenuGrayed) != 0) {
        action->setEnabled(false);
    }
    connect(action, &QAction::triggered, this, [this, id] { ExecuteAndRefresh(id); });
    if (m_owner) {
        m_owner->addAction(action);
    }
    m_actions[id] = action;
    return action;
}

QAction* CommandRouter::Action(int id) {
    if (id <= 0) {
        return nullptr;
    }
    auto it = m_actions.find(id);
    return it != m_actions.end() ? it->second : CreateAction(id);
}

QAction* CommandRouter::MakeTwinAction(int id, const QString& text, QObject* parent) {
    QAction* primary = Action(id);
    if (primary == nullptr) {
        return nullptr;
    }
    auto* twin = new QAction(text, parent);
    twin->setData(id);
    twin->setStatusTip(primary->statusTip());
    twin->setToolTip(primary->toolTip());
    CopyState(primary, twin);
    connect(primary, &QAction::changed, twin, [primary, twin] { CopyState(primary, twin); });
    connect(twin, &QAction::triggered, this, [this, id] { ExecuteAndRefresh(id); });
    return twin;
}

int CommandRouter::CommandOf(const QAction* action) {
    if (action == nullptr) {
        return 0;
    }
    bool ok = false;
    int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

bool CommandRouter::RouteUpdate(CCmdUI& ui) const {
    const std::vector<Route> routes = m_routes;  // a handler may add or remove targets
    for (const Route& route : routes) {
        if (route.target->RunUpdate(ui)) {
            return true;
        }
    }
    return false;
}

bool CommandRouter::HasHandler(int id) const {
    return std::any_of(m_routes.begin(), m_routes.end(),
                       [id](const Route& r) { return r.target->HandlesCommand(id); });
}

bool CommandRouter::IsEnabled(int id) {
    CCmdUI probe(id, nullptr, nullptr, this);
    RouteUpdate(probe);
    return probe.EnableChanged() ? probe.IsEnabled() : HasHandler(id);
}

void CommandRouter::ExecuteAndRefresh(int id) {
    QPointer<CommandRouter> self(this);  // the command may end the program's window
    Execute(id);
    if (self) {
        UpdateCommand(id);
    }
}

bool CommandRouter::Execute(int id) {
    if (!IsEnabled(id)) {
        return false;
    }
    const std::vector<Route> routes = m_routes;
    for (const Route& route : routes) {
        if (route.target->HandlesCommand(id)) {
            RequestIdleUpdate();
            route.target->RunCommand(id);
            return true;
        }
    }
    return false;
}

void CommandRouter::ApplyUpdate(int id, QAction* action, QMenu* menu) {
    CCmdUI ui(id, action, menu, this);
    RouteUpdate(ui);
    if (!ui.EnableChanged()) {
        ui.Enable(HasHandler(id));
    }
}

void CommandRouter::UpdateCommand(int id) {
    if (QAction* action = Action(id)) {
        ApplyUpdate(id, action, nullptr);
    }
}

void CommandRouter::UpdateMenu(QMenu* menu) {
    if (menu == nullptr) {
        return;
    }
    // A snapshot: an update handler may rebuild part of the menu (the recent
    // files do).
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        int id = CommandOf(action);
        if (id > 0) {
            ApplyUpdate(id, Action(id), menu);
        }
    }
}

void CommandRouter::UpdateAll() {
    std::vector<std::pair<int, QAction*>> actions(m_actions.begin(), m_actions.end());
    for (const auto& [id, action] : actions) {
        ApplyUpdate(id, action, nullptr);
    }
}

void CommandRouter::RequestIdleUpdate() {
    if (!m_idleTimer.isActive()) {
        m_idleTimer.start();
    }
}

void CommandRouter::SetIdleUpdates(bool on) {
    m_bIdleUpdates = on;
    if (!on) {
        m_idleTimer.stop();
    }
}

bool CommandRouter::eventFilter(QObject* watched, QEvent* event) {
    if (m_bIdleUpdates) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::FocusIn:
            case QEvent::WindowActivate:
            case QEvent::Drop:
                RequestIdleUpdate();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace platform
