#include "shell/quick_find_toolbar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include "platform/command_router.h"
#include "platform/menu_builder.h"
#include "resources/command_ids.h"
#include "resources/menus.h"

namespace shell {

namespace {

// Keys the box's editor needs for itself while it has the focus, so that
// window-wide shortcuts with the same keys must not take them.
bool EditorKeepsKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods =
        key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
        case Qt::Key_Insert:
        case Qt::Key_Down:
        case Qt::Key_Up:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Backspace:
            return mods == Qt::NoModifier || mods == Qt::ControlModifier;
        default:
            break;
    }
    return key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Cut) ||
           key.matches(QKeySequence::Paste) || key.matches(QKeySequence::SelectAll) ||
           key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo) ||
           (mods == Qt::NoModifier && !key.text().isEmpty());
}

}  // namespace

CQuickFindCombo::CQuickFindCombo(QWidget* parent) : QComboBox(parent) {
    setObjectName("quickFindCombo");
    setEditable(true);
    // The list is the find history, kept by its mirror: typing adds nothing.
    setInsertPolicy(QComboBox::NoInsert);
    setFocusPolicy(Qt::StrongFocus);
    setFixedWidth(kWidth);
    setMaxVisibleItems(std::max(1, kListHeight / std::max(1, fontMetrics().height())));
    // The first "MS Sans Serif" face the system has, else the general
    // sans-serif face, in bold.
    QFont font = QApplication::font();
    if (QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
        font.setFamily(QStringLiteral("MS Sans Serif"));
    }
    font.setWeight(QFont::Bold);
    setFont(font);
    if (lineEdit() != nullptr) {
        lineEdit()->setObjectName("quickFindEdit");
    }
}

void CQuickFindCombo::SetSearchField(const QString& fieldLabel) {
    const QString text = QStringLiteral("Find in %1").arg(fieldLabel);
    setToolTip(text);
    setAccessibleName(text);
    if (lineEdit() != nullptr) {
        lineEdit()->setAccessibleName(text);
    }
}

CQuickFindToolBar::CQuickFindToolBar(const QString& title, QWidget* parent)
    : CToolBarEx(title, parent) {}

CQuickFindToolBar::~CQuickFindToolBar() = default;

bool CQuickFindToolBar::CreateQuickFindBox(QAction* slot) {
    if (slot == nullptr || !actions().contains(slot)) {
        return false;
    }
    m_pCombo = new CQuickFindCombo(this);
    m_pMirror = std::make_unique<entries::ComboHistoryMirror>(m_pCombo);
    QAction* boxAction = insertWidget(slot, m_pCombo);
    boxAction->setObjectName("quickFindSlot");
    removeAction(slot);
    delete slot;
    m_pCombo->installEventFilter(this);
    if (QLineEdit* edit = m_pCombo->lineEdit()) {
        edit->installEventFilter(this);
    }
    return true;
}

int CQuickFindToolBar::DropDownMenuIndex(int command) {
    switch (command) {
        case resources::kCmdDialMenu:
            return 1;
        case resources::kCmdEmailMenu:
            return 2;
        case resources::kCmdWebMenu:
            return 3;
        default:
            return -1;
    }
}

bool CQuickFindToolBar::ShowDropDown(int command) {
    const int index = DropDownMenuIndex(command);
    std::span<const resources::MenuItem> menus = resources::LoadMenu(resources::kMenuTray);
    if (index < 0 || index >= static_cast<int>(menus.size()) || m_pRouter == nullptr) {
        return false;
    }
    QAction* action = m_pRouter->Action(command);
    auto* button = qobject_cast<QToolButton*>(widgetForAction(action));
    if (button == nullptr) {
        return false;
    }
    QMenu* menu = platform::BuildPopupMenu(menus[static_cast<std::size_t>(index)], *m_pRouter, this,
                                           m_pPrompter);
    const QPoint at = button->mapToGlobal(QPoint(0, button->height()));
    if (m_popup) {
        m_popup(*menu, at);
    } else {
        menu->exec(at);
    }
    menu->deleteLater();
    return true;
}

bool CQuickFindToolBar::HandleQuickFindKey(int key) {
    if (m_pCombo == nullptr) {
        return false;
    }
    QLineEdit* edit = m_pCombo->lineEdit();
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const QString text = m_pCombo->currentText();
            if (text.isEmpty()) {
                if (m_beep) {
                    m_beep();
                } else {
                    QApplication::beep();
                }
                return true;
            }
            if (edit != nullptr) {
                edit->selectAll();
            }
            if (m_quickFind) {
                m_quickFind(text);
            }
            if (edit != nullptr) {
                edit->selectAll();  // the history may have set the text anew
            }
            return true;
        }
        case Qt::Key_Escape:
            if (m_pFocusReturn) {
                m_pFocusReturn->setFocus(Qt::OtherFocusReason);
            }
            return true;
        case Qt::Key_Delete:
            if (edit != nullptr && edit->hasSelectedText()) {
                edit->del();
            }
            return true;
        case Qt::Key_Down:
            if (m_pCombo->view() != nullptr && m_pCombo->view()->isVisible()) {
                return false;
            }
            m_pCombo->showPopup();
            return true;
        default:
            return false;
    }
}

bool CQuickFindToolBar::eventFilter(QObject* watched, QEvent* event) {
    const bool inBox =
        m_pCombo != nullptr && (watched == m_pCombo || watched == m_pCombo->lineEdit());
    if (inBox) {
        switch (event->type()) {
            case QEvent::ShortcutOverride: {
                auto* key = static_cast<QKeyEvent*>(event);
                if (EditorKeepsKey(*key)) {
                    // The key goes to the box as an ordinary key press.
                    event->accept();
                    return true;
                }
                break;
            }
            case QEvent::KeyPress: {
                auto* key = static_cast<QKeyEvent*>(event);
                const Qt::KeyboardModifiers mods =
                    key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
                if (mods == Qt::NoModifier && HandleQuickFindKey(key->key())) {
                    return true;
                }
                break;
            }
            case QEvent::FocusIn:
                if (watched == m_pCombo->lineEdit()) {
                    // After the click that gave the focus has placed the cursor.
                    QTimer::singleShot(0, m_pCombo, [combo = QPointer<QComboBox>(m_pCombo)] {
                        if (combo && combo->lineEdit() && combo->lineEdit()->hasFocus()) {
                            combo->lineEdit()->selectAll();
                        }
                    });
                }
                break;
            default:
                break;
        }
        return CToolBarEx::eventFilter(watched, event);
    }
    // Drop-down buttons: the menu opens when the left button is released over
    // one, then the button's own release handling runs.
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* button = qobject_cast<QToolButton*>(watched);
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (button != nullptr && button->parentWidget() == this &&
            mouse->button() == Qt::LeftButton &&
            button->rect().contains(mouse->position().toPoint())) {
            const int command = platform::CommandRouter::CommandOf(button->defaultAction());
            if (DropDownMenuIndex(command) >= 0) {
                ShowDropDown(command);
            }
        }
    }
    return CToolBarEx::eventFilter(watched, event);
}

}  // namespace shell
