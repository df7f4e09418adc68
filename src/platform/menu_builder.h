// Builds Qt menus from the menu tables of the resources.
//
// Command items are the command router's actions, so every menu, toolbar and
// accelerator shares one action per command.  Where a menu names a command
// differently from the main menu (the context menu's "&Add..." against the
// main menu's "&Add\tIns"), the item is a twin action with that menu's text
// that follows the command's state.  Every menu built here runs the router's
// command-state updates just before it opens and, with a prompter, shows the
// prompts of its items in the status bar.
#pragma once

#include <span>

#include "resources/menus.h"

class QMenu;
class QMenuBar;
class QWidget;

namespace platform {

class CommandRouter;
class StatusPrompter;

// Appends `items` to `menu`.
void FillMenu(QMenu* menu, std::span<const resources::MenuItem> items, CommandRouter& router,
              StatusPrompter* prompter = nullptr);

// The menu bar for a list of top-level pop-ups (resources::LoadMenu(kMenuMain)).
QMenuBar* BuildMenuBar(std::span<const resources::MenuItem> items, CommandRouter& router,
                       QWidget* parent, StatusPrompter* prompter = nullptr);

// A pop-up menu from one pop-up item (for example LoadMenu(kMenuContext)[0]).
// Owned by `parent`.
QMenu* BuildPopupMenu(const resources::MenuItem& popup, CommandRouter& router, QWidget* parent,
                      StatusPrompter* prompter = nullptr);

}  // namespace platform
