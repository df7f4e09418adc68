#include "shell/tool_bar_ex.h"

#include <QActionEvent>
#include <QToolButton>

namespace shell {

CToolBarEx::CToolBarEx(const QString& title, QWidget* parent) : QToolBar(title, parent) {}

void CToolBarEx::SetFlat(bool flat) {
    m_bFlat = flat;
    ApplyLook();
}

void CToolBarEx::ApplyLook() {
    for (QToolButton* button : findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        // The extension arrow keeps its own look.
        if (button->objectName() != QLatin1String("qt_toolbar_ext_button")) {
            button->setAutoRaise(m_bFlat);
        }
    }
}

void CToolBarEx::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    if (event->type() == QEvent::ActionAdded) {
        ApplyLook();
    }
}

}  // namespace shell
