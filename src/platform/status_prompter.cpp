#include "platform/status_prompter.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QStatusTipEvent>
#include <QWidget>

#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace platform {
namespace {}  // namespace

StatusPrompter::StatusPrompter(QLabel* pane, QWidget* window, QObject* parent)
    : QObject(parent), m_pane(pane) {
    if (window != nullptr) {
        window->installEventFilter(this);
    }
}

void StatusPrompter::ShowText(const QString& text) {
    if (m_pane) {
        m_pane->setText(text);
        m_pane->repaint();
    }
}

void StatusPrompter::ShowStringId(int id) {
    if (resources::HasString(id)) {
        ShowText(ResourceString(id));
    }
}

void StatusPrompter::ShowIdle() {
    ShowStringId(resources::kStrIdleMessage);
}

void StatusPrompter::ShowPrompt(const QString& prompt) {
    if (prompt.isEmpty()) {
        ShowIdle();
    } else {
        ShowText(prompt);
    }
}

void StatusPrompter::WatchMenu(QMenu* menu) {
    if (menu == nullptr) {
        return;
    }
    connect(menu, &QMenu::hovered, this,
            [this](QAction* action) { ShowPrompt(action->statusTip()); });
    connect(menu, &QMenu::aboutToHide, this, &StatusPrompter::ShowIdle);
}

QString StatusPrompter::Text() const {
    return m_pane ? m_pane->text() : QString();
}

bool StatusPrompter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        ShowPrompt(static_cast<QStatusTipEvent*>(event)->tip());
        return true;  // the pane, not the status bar's own message, shows it
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace platform
