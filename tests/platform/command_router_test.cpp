// Command routing order, command-state updates and the commands' actions.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QWidget>
#include <memory>
#include <string>

#include "platform/command_router.h"
#include "qt_printers.h"
#include "resources/command_ids.h"

namespace {

using platform::CCmdUI;
using platform::CommandRouter;
using platform::CommandTarget;
using platform::RouteLevel;

constexpr int kCmd = resources::kCmdAddressAdd;

TEST(CommandRouter, RoutesToTheFirstTargetInOrder) {
    // Which levels have a handler -> which one runs.
    struct Case {
        bool view, document, frame, application;
        std::string expected;
    };
    const Case cases[] = {
        {true, true, true, true, "view"},    {false, true, true, true, "document"},
        {false, false, true, true, "frame"}, {false, false, false, true, "application"},
        {true, false, false, true, "view"},  {false, false, false, false, ""},
    };
    for (const Case& c : cases) {
        CommandRouter router;
        CommandTarget view, document, frame, application;
        std::string ran;
        // Added out of order: the level, not the order of adding, decides.
        router.AddTarget(application, RouteLevel::kApplication);
        router.AddTarget(frame, RouteLevel::kFrame);
        router.AddTarget(view, RouteLevel::kView);
        router.AddTarget(document, RouteLevel::kDocument);
        auto handle = [&ran](CommandTarget& t, bool on, const char* name) {
            if (on) {
                t.OnCommand(kCmd, [&ran, name] { ran = name; });
            }
        };
        handle(view, c.view, "view");
        handle(document, c.document, "document");
        handle(frame, c.frame, "frame");
        handle(application, c.application, "application");
        EXPECT_EQ(router.Execute(kCmd), !c.expected.empty());
        EXPECT_EQ(ran, c.expected);
    }
}

TEST(CommandRouter, EnabledStateFollowsUpdateHandlersOrHandlers) {
    // handler present, update handler: -1 none, 0 disables, 1 enables,
    // 2 runs but leaves the state alone.
    struct Case {
        bool handler;
        int update;
        bool enabled;
    };
    const Case cases[] = {
        {true, -1, true}, {false, -1, false}, {true, 0, false},
        {false, 1, true}, {true, 2, true},    {false, 2, false},
    };
    for (const Case& c : cases) {
        CommandRouter router;
        CommandTarget target;
        router.AddTarget(target, RouteLevel::kView);
        int runs = 0;
        if (c.handler) {
            target.OnCommand(kCmd, [&runs] { ++runs; });
        }
        if (c.update >= 0) {
            target.OnUpdate(kCmd, [&c](CCmdUI& ui) {
                if (c.update < 2) {
                    ui.Enable(c.update == 1);
                }
            });
        }
        router.UpdateAll();
        EXPECT_EQ(router.Action(kCmd)->isEnabled(), c.enabled) << c.handler << " " << c.update;
        EXPECT_EQ(router.IsEnabled(kCmd), c.enabled);
        router.Execute(kCmd);
        EXPECT_EQ(runs, c.handler && c.enabled ? 1 : 0);
    }
}

TEST(CommandRouter, DisabledCommandDoesNotRunEvenFromAStaleAction) {
    CommandRouter router;
    CommandTarget target;
    router.AddTarget(target, RouteLevel::kView);
    bool allowed = true;
    int runs = 0;
    target.OnCommand(kCmd, [&runs] { ++runs; });
    target.OnUpdate(kCmd, [&allowed](CCmdUI& ui) { ui.Enable(allowed); });
    router.UpdateAll();
    ASSERT_TRUE(router.Action(kCmd)->isEnabled());

    allowed = false;  // the action still shows enabled until the next update
    router.Action(kCmd)->trigger();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(router.Action(kCmd)->isEnabled());  // refreshed after the attempt
}

TEST(CommandRouter, FirstUpdateHandlerInRouteDecides) {
    CommandRouter router;
    CommandTarget view, application;
    router.AddTarget(application, RouteLevel::kApplication);
    router.AddTarget(view, RouteLevel::kView);
    application.OnCommand(kCmd, [] {});
    application.OnUpdate(kCmd, [](CCmdUI& ui) { ui.Enable(true); });
    view.OnUpdate(kCmd, [](CCmdUI& ui) { ui.Enable(false); });
    EXPECT_FALSE(router.IsEnabled(kCmd));
}

TEST(CommandRouter, CheckMarksAndTextFollowTheHandler) {
    CommandRouter router;
    CommandTarget frame;
    router.AddTarget(frame, RouteLevel::kFrame);
    bool visible = true;
    const int id = resources::kCmdViewStatusBar;
    frame.OnCommand(id, [&visible] { visible = !visible; });
    frame.OnUpdate(id, [&visible](CCmdUI& ui) {
        ui.SetCheck(visible);
        ui.SetText(visible ? "Hide" : "Show");
    });
    QAction* action = router.Action(id);
    router.UpdateCommand(id);
    EXPECT_TRUE(action->isCheckable());
    EXPECT_TRUE(action->isChecked());

    action->trigger();  // Qt toggles the check itself; the handler's state wins
    EXPECT_FALSE(visible);
    EXPECT_FALSE(action->isChecked());
    EXPECT_EQ(action->text(), "Show");
    action->trigger();
    EXPECT_TRUE(action->isChecked());
    EXPECT_EQ(action->text(), "Hide");
}

TEST(CommandRouter, RangeHandlersReceiveTheNumber) {
    CommandRouter router;
    CommandTarget app;
    router.AddTarget(app, RouteLevel::kApplication);
    int got = 0;
    app.OnCommandRange(resources::kCmdFileMruFirst, resources::kCmdFileMruLast,
                       [&got](int id) { got = id; });
    EXPECT_TRUE(router.Execute(resources::kCmdFileMruFirst + 3));
    EXPECT_EQ(got, resources::kCmdFileMruFirst + 3);
    EXPECT_FALSE(router.Execute(resources::kCmdFileMruLast + 1));
}

TEST(CommandRouter, DestroyedTargetLeavesTheRoute) {
    CommandRouter router;
    auto target = std::make_unique<CommandTarget>();
    router.AddTarget(*target, RouteLevel::kView);
    target->OnCommand(kCmd, [] {});
    EXPECT_TRUE(router.IsEnabled(kCmd));
    target.reset();
    EXPECT_FALSE(router.IsEnabled(kCmd));
    EXPECT_FALSE(router.Execute(kCmd));
}

TEST(CommandRouter, HandlerMayDestroyItsOwnTarget) {
    CommandRouter router;
    auto target = std::make_unique<CommandTarget>();
    router.AddTarget(*target, RouteLevel::kFrame);
    int runs = 0;
    target->OnCommand(kCmd, [&target, &runs] {
        target.reset();
        ++runs;
    });
    router.Action(kCmd)->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(router.IsEnabled(kCmd));
}

TEST(CommandRouter, IdleUpdateRunsWhenTheEventLoopIsIdle) {
    CommandRouter router;
    CommandTarget view;
    router.AddTarget(view, RouteLevel::kView);
    bool enabled = false;
    view.OnCommand(kCmd, [] {});
    view.OnUpdate(kCmd, [&enabled](CCmdUI& ui) { ui.Enable(enabled); });
    router.UpdateAll();
    ASSERT_FALSE(router.Action(kCmd)->isEnabled());

    enabled = true;
    router.RequestIdleUpdate();
    QApplication::processEvents();
    EXPECT_TRUE(router.Action(kCmd)->isEnabled());
}

TEST(CommandRouter, ActionsCarryMenuTextPromptTooltipAndKeys) {
    struct Case {
        int id;
        QString text;
        QString statusTip;
        QString toolTip;
        QKeySequence key;
    };
    const Case cases[] = {
        {resources::kCmdFileNew, "&New\tCtrl+N", "Create a new address book", "New",
         QKeySequence(Qt::CTRL | Qt::Key_N)},
        {resources::kCmdAddressAdd, "&Add\tIns", "Add a New Address", "Add",
         QKeySequence(Qt::Key_Insert)},
        {resources::kCmdAddressDelete, "&Delete\tDel", "Delete the selected address", "Delete",
         QKeySequence(Qt::Key_Delete)},
        {resources::kCmdQuickFindFocus, "Quick Find", "Move to the quick-find box", "Quick Find",
         QKeySequence(Qt::ALT | Qt::Key_F3)},
        {resources::kCmdTrayShow, "&Show", "Show the Quillbox window", "Show", QKeySequence()},
    };
    CommandRouter router;
    for (const Case& c : cases) {
        QAction* action = router.Action(c.id);
        EXPECT_EQ(action->text(), c.text) << c.id;
        EXPECT_EQ(action->statusTip(), c.statusTip) << c.id;
        EXPECT_EQ(action->toolTip(), c.toolTip) << c.id;
        EXPECT_EQ(action->shortcut(), c.key) << c.id;
        EXPECT_EQ(CommandRouter::CommandOf(action), c.id);
    }
    // Both Enter keys edit the selected address.
    const QList<QKeySequence> editKeys = router.Action(resources::kCmdAddressEdit)->shortcuts();
    EXPECT_TRUE(editKeys.contains(QKeySequence(Qt::Key_Return)));
    EXPECT_TRUE(editKeys.contains(QKeySequence(Qt::Key_Enter)));
    EXPECT_FALSE(router.Action(resources::kCmdFileMruFirst)->isEnabled());  // greyed at first
}

TEST(CommandRouter, ActionsJoinTheOwnerWindow) {
    QWidget window;
    CommandRouter router(&window);
    EXPECT_TRUE(window.actions().contains(router.Action(resources::kCmdEditFind)));
}

}  // namespace
