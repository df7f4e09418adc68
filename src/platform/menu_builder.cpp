#include "platform/menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/command_router.h"
#include "platform/status_prompter.h"

namespace platform {
namespace {

QString FromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMenu* NewMenu(const resources::MenuItem& popup, CommandRouter& router, QWidget* parent,
               StatusPrompter* prompter) {
    auto* menu = new QMenu(FromView(popup.text), parent);
    QObject::connect(menu, &QMenu::aboutToShow, &router,
                     [menu, &router] { router.UpdateMenu(menu); });
    if (prompter != nullptr) {
        prompter->WatchMenu(menu);
    }
    FillMenu(menu, popup.items, router, prompter);
    return menu;
}

}  // namespace

void FillMenu(QMenu* menu, std::span<const resources::MenuItem> items, CommandRouter& router,
              StatusPrompter* prompter) {
    for (const resources::MenuItem& item : items) {
        switch (item.kind) {
            case resources::MenuItemKind::kSeparator:
                menu->addSeparator();
                break;
            case resources::MenuItemKind::kPopup:
                menu->addMenu(NewMenu(item, router, menu, prompter));
                break;
            case resources::MenuItemKind::kCommand: {
                QAction* action = router.Action(item.command);
                QString text = FromView(item.text);
                if (action->text() != text) {
                    action = router.MakeTwinAction(item.command, text, menu);
                }
                menu->addAction(action);
                if ((item.flags & resources::kMenuDefault) != 0) {
                    menu->setDefaultAction(action);
                }
                break;
            }
        }
    }
}

QMenuBar* BuildMenuBar(std::span<const resources::MenuItem> items, CommandRouter& router,
                       QWidget* parent, StatusPrompter* prompter) {
    auto* bar = new QMenuBar(parent);
    for (const resources::MenuItem& item : items) {
        if (item.kind == resources::MenuItemKind::kPopup) {
            bar->addMenu(NewMenu(item, router, bar, prompter));
        }
    }
    return bar;
}

QMenu* BuildPopupMenu(const resources::MenuItem& popup, CommandRouter& router, QWidget* parent,
                      StatusPrompter* prompter) {
    return NewMenu(popup, router, parent, prompter);
}

}  // namespace platform
