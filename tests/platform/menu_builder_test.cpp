// Menus built from the tables, their command-state updates, and the status
// bar prompts of hovered items and toolbar buttons.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>

#include "platform/command_router.h"
#include "platform/menu_builder.h"
#include "platform/status_prompter.h"
#include "qt_printers.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace {

using platform::CommandRouter;

// The menu reached by a path of titles, "&Address/Dial".
QMenu* MenuAt(QMenuBar* bar, const QString& path) {
    QList<QAction*> actions = bar->actions();
    QMenu* menu = nullptr;
    for (const QString& title : path.split('/')) {
        menu = nullptr;
        for (QAction* action : actions) {
            if (action->menu() != nullptr && action->text() == title) {
                menu = action->menu();
                break;
            }
        }
        if (menu == nullptr) {
            return nullptr;
        }
        actions = menu->actions();
    }
    return menu;
}

TEST(MenuBuilder, MainMenuItemsHaveTheirTextsKeysAndCommands) {
    struct Case {
        QString menu;
        int index;  // separators count
        QString text;
        int command;
        QKeySequence key;
    };
    const Case cases[] = {
        {"&File", 0, "&New\tCtrl+N", resources::kCmdFileNew, QKeySequence("Ctrl+N")},
        {"&File", 12, "Recent File", resources::kCmdFileMruFirst, QKeySequence()},
        {"&File", 14, "E&xit", resources::kCmdAppExit, QKeySequence()},
        {"&File/&Export", 0, "&Comma Delimited", resources::kCmdFileExportCsv, QKeySequence()},
        {"&File/&Import", 2, "&vCard...", resources::kCmdFileImportVCard, QKeySequence()},
        {"&File/&Export", 2, "v&Card...", resources::kCmdFileExportVCard, QKeySequence()},
        {"&Edit", 3, "Copy as v&Card\tCtrl+Shift+C", resources::kCmdEditCopyAsVCard,
         QKeySequence("Ctrl+Shift+C")},
        {"&Address/Dial", 4, "Cellular", resources::kCmdDialCellular, QKeySequence()},
        {"&Address/Web", 1, "URL 2", resources::kCmdWeb2, QKeySequence()},
        {"&File", 5, "&Print...\tCtrl+P", resources::kCmdFilePrint, QKeySequence("Ctrl+P")},
        {"&Help", 0, "&Help Topics\tF1", resources::kCmdHelpTopics, QKeySequence("F1")},
    };
    QWidget window;
    CommandRouter router(&window);
    QMenuBar* bar =
        platform::BuildMenuBar(resources::LoadMenu(resources::kMenuMain), router, &window);
    ASSERT_EQ(bar->actions().size(), 5);
    for (const Case& c : cases) {
        QMenu* menu = MenuAt(bar, c.menu);
        ASSERT_NE(menu, nullptr) << c.menu.toStdString();
        ASSERT_LT(c.index, menu->actions().size());
        QAction* action = menu->actions()[c.index];
        EXPECT_EQ(action->text(), c.text) << c.menu.toStdString();
        EXPECT_EQ(CommandRouter::CommandOf(action), c.command);
        EXPECT_EQ(action->shortcut(), c.key) << c.text.toStdString();
        EXPECT_EQ(action, router.Action(c.command));  // the one action of the command
    }
    EXPECT_TRUE(MenuAt(bar, "&File")->actions()[4]->isSeparator());
    EXPECT_EQ(MenuAt(bar, "&File/&Import")->actions().size(), 3);
    EXPECT_EQ(MenuAt(bar, "&File/&Export")->actions().size(), 3);
}

TEST(MenuBuilder, OtherMenusUseTheirOwnTextsForTheSameCommand) {
    QWidget window;
    CommandRouter router(&window);
    platform::CommandTarget view;
    router.AddTarget(view, platform::RouteLevel::kView);
    int adds = 0;
    bool canAdd = true;
    view.OnCommand(resources::kCmdAddressAdd, [&adds] { ++adds; });
    view.OnUpdate(resources::kCmdAddressAdd,
                  [&canAdd](platform::CCmdUI& ui) { ui.Enable(canAdd); });

    QMenu* context =
        platform::BuildPopupMenu(resources::LoadMenu(resources::kMenuContext)[0], router, &window);
    QAction* add = context->actions()[2];
    EXPECT_EQ(add->text(), "&Add...");
    EXPECT_NE(add, router.Action(resources::kCmdAddressAdd));
    EXPECT_EQ(add->statusTip(), "Add a New Address");

    add->trigger();
    EXPECT_EQ(adds, 1);

    canAdd = false;
    emit context->aboutToShow();  // the state is updated just before the menu opens
    EXPECT_FALSE(add->isEnabled());
    EXPECT_FALSE(router.Action(resources::kCmdAddressAdd)->isEnabled());
}

TEST(StatusPrompter, PromptsWhileHoveringAndIdleTextAfter) {
    QMainWindow window;
    auto* pane = new QLabel(&window);
    CommandRouter router(&window);
    platform::StatusPrompter prompter(pane, &window);
    QMenu* context = platform::BuildPopupMenu(resources::LoadMenu(resources::kMenuContext)[0],
                                              router, &window, &prompter);

    prompter.ShowText("busy");
    emit context->hovered(context->actions()[3]);
    EXPECT_EQ(prompter.Text(), "Edit the selected address");
    emit context->aboutToHide();
    EXPECT_EQ(prompter.Text(), "For Help, press F1");

    // A toolbar button's status tip reaches the window: the pane shows it, and
    // the empty tip sent on leaving restores the idle text.
    QStatusTipEvent enter("Save the address book");
    QApplication::sendEvent(&window, &enter);
    EXPECT_EQ(prompter.Text(), "Save the address book");
    QStatusTipEvent leave("");
    QApplication::sendEvent(&window, &leave);
    EXPECT_EQ(prompter.Text(), "For Help, press F1");

    prompter.ShowStringId(resources::kStrLoadingBook);
    EXPECT_EQ(pane->text(), "Loading Address Book...");
    prompter.ShowStringId(173);  // no such string: nothing changes
    EXPECT_EQ(pane->text(), "Loading Address Book...");
}

}  // namespace
