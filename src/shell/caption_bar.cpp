#include "shell/caption_bar.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace shell {

CCaptionBar::CCaptionBar(QWidget* window) : QWidget(window) {
    setObjectName("captionBar");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    UpdateColorsAndFont();
}

void CCaptionBar::UpdateColorsAndFont() {
    QFont font = QApplication::font();
    font.setBold(true);
    m_painter.SetFont(font);
    m_painter.SetColors(CaptionColors::FromPalette(palette()));
    setFixedHeight(CaptionHeight());
}

int CCaptionBar::CaptionHeight() const {
    return std::max(20, QFontMetrics(m_painter.Font()).height() + 8);
}

QSize CCaptionBar::sizeHint() const {
    return QSize(200, CaptionHeight());
}
QSize CCaptionBar::minimumSizeHint() const {
    return QSize(60, CaptionHeight());
}

CaptionState CCaptionBar::State() const {
    CaptionState state;
    state.size = size();
    QWidget* w = window();
    state.title = w->windowTitle();
    state.icon = w->windowIcon();
    state.maximized = w->isMaximized();
    state.hasMaximize = true;
    state.hasMinimize = true;
    state.devicePixelRatio = devicePixelRatioF();
    return state;
}

void CCaptionBar::SetActive(bool active) {
    // A disabled window draws an inactive caption.
    int state = window()->isEnabled() && active ? 1 : 0;
    if (state != m_nActive) {
        m_nActive = state;
        update();
    }
}

void CCaptionBar::Refresh() {
    m_painter.Invalidate();
    update();
}

void CCaptionBar::paintEvent(QPaintEvent*) {
    if (m_nActive < 0) {
        m_nActive = window()->isActiveWindow() ? 1 : 0;
    }
    if (window()->isMinimized()) {
        return;
    }
    CaptionState state = State();
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_painter.Picture(m_nActive == 1, state));
    if (m_pressed != CaptionButton::kNone && m_bPressedInside) {
        m_painter.DrawPressedButton(painter, m_pressed, state);
    }
}

void CCaptionBar::Trigger(CaptionButton button) {
    QWidget* w = window();
    switch (button) {
        case CaptionButton::kClose:
            w->close();
            break;
        case CaptionButton::kMaximize:
            if (w->isMaximized()) {
                w->showNormal();
            } else {
                w->showMaximized();
            }
            break;
        case CaptionButton::kMinimize:
            w->showMinimized();
            break;
        case CaptionButton::kNone:
            break;
    }
}

void CCaptionBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    QPoint pos = event->position().toPoint();
    m_pressed = CaptionPainter::ButtonAt(pos, State());
    if (m_pressed != CaptionButton::kNone) {
        m_bPressedInside = true;
        update();
        return;
    }
    QWidget* w = window();
    if (w->isMaximized()) {
        return;
    }
    // The move starts once the mouse has travelled a little with the button
    // down: handing the pointer to the window manager at the press would
    // swallow the second click of a double click (maximize).
    m_bMovePending = true;
    m_pressPos = event->globalPosition().toPoint();
    m_dragOffset = m_pressPos - w->frameGeometry().topLeft();
}

void CCaptionBar::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressed != CaptionButton::kNone) {
        bool inside =
            CaptionPainter::ButtonRect(m_pressed, State()).contains(event->position().toPoint());
        if (inside != m_bPressedInside) {
            m_bPressedInside = inside;
            update();
        }
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (m_bMovePending && (event->buttons() & Qt::LeftButton) &&
        (global - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        m_bMovePending = false;
        QWindow* handle = window()->windowHandle();
        if (handle == nullptr || !handle->startSystemMove()) {
            m_bManualMove = true;  // no window manager help: move it ourselves
        }
    }
    if (m_bManualMove) {
        window()->move(global - m_dragOffset);
    }
}

void CCaptionBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_bManualMove = false;
    m_bMovePending = false;
    CaptionButton pressed = m_pressed;
    bool inside = m_bPressedInside;
    m_pressed = CaptionButton::kNone;
    m_bPressedInside = false;
    if (pressed != CaptionButton::kNone) {
        update();
        if (inside) {
            Trigger(pressed);
        }
    }
}

void CCaptionBar::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton &&
        CaptionPainter::ButtonAt(event->position().toPoint(), State()) == CaptionButton::kNone) {
        Trigger(CaptionButton::kMaximize);
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void CCaptionBar::changeEvent(QEvent* event) {
    switch (event->type()) {
        case QEvent::PaletteChange:
        case QEvent::ApplicationPaletteChange:
        case QEvent::FontChange:
        case QEvent::ApplicationFontChange:
        case QEvent::StyleChange:
            UpdateColorsAndFont();
            update();
            break;
        default:
            break;
    }
    QWidget::changeEvent(event);
}

}  // namespace shell
