#include "shell/tool_bar_ex.h"

#include <QActionEvent>
#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QToolButton>

namespace shell {

namespace {

// A frame one pixel wide: `topLeft` on the top and left edges,
// `bottomRight` on the bottom and right edges.
void Draw3dRect(QPainter& painter, const QRect& r, const QColor& topLeft,
                const QColor& bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

bool IsSeparatorWidget(const QWidget* widget) {
    return widget != nullptr && widget->inherits("QToolBarSeparator");
}

}  // namespace

CToolBarEx::CToolBarEx(const QString& title, QWidget* parent)
    : QToolBar(title, parent), m_cursor([] { return QCursor::pos(); }) {
    setMouseTracking(true);
    m_hotTimer.setInterval(kHotTimerMs);
    connect(&m_hotTimer, &QTimer::timeout, this, &CToolBarEx::OnHotTimer);
    ReloadColours();
}

void CToolBarEx::ReloadColours() {
    const QPalette& pal = palette();
    m_face = pal.color(QPalette::Button);
    m_highlight = pal.color(QPalette::Light);
    m_shadow = pal.color(QPalette::Dark);
}

void CToolBarEx::SetFlat(bool flat) {
    if (flat == m_bFlat) {
        return;
    }
    m_bFlat = flat;
    if (!flat) {
        m_nHot = -1;
        m_hotTimer.stop();
    }
    ApplyLook();
    // The gripper area and every button repaint at once.
    update();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->update();
    }
}

void CToolBarEx::ApplyLook() {
    for (QToolButton* button : findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        // The extension arrow keeps its own look.
        if (button->objectName() != QLatin1String("qt_toolbar_ext_button")) {
            button->setAutoRaise(m_bFlat);
        }
    }
}

void CToolBarEx::WatchChildren() {
    for (QAction* action : actions()) {
        QWidget* widget = widgetForAction(action);
        if (widget != nullptr &&
            (qobject_cast<QToolButton*>(widget) != nullptr || IsSeparatorWidget(widget))) {
            widget->removeEventFilter(this);
            widget->installEventFilter(this);
            widget->setMouseTracking(true);
        }
    }
}

void CToolBarEx::actionEvent(QActionEvent* event) {
    QToolBar::actionEvent(event);
    if (event->type() == QEvent::ActionAdded) {
        ApplyLook();
        WatchChildren();
    } else if (event->type() == QEvent::ActionRemoved) {
        m_nHot = -1;
    }
}

int CToolBarEx::IndexOfWidget(const QWidget* widget) const {
    const QList<QAction*> list = actions();
    for (int i = 0; i < list.size(); ++i) {
        if (widgetForAction(list[i]) == widget) {
            return i;
        }
    }
    return -1;
}

QRect CToolBarEx::ButtonRect(int index) const {
    const QList<QAction*> list = actions();
    if (index < 0 || index >= list.size() || list[index]->isSeparator()) {
        return QRect();
    }
    auto* button = qobject_cast<QToolButton*>(widgetForAction(list[index]));
    return button != nullptr && button->isVisible() ? button->geometry() : QRect();
}

void CToolBarEx::InvalidateButton(int index) {
    const QList<QAction*> list = actions();
    if (index >= 0 && index < list.size()) {
        if (QWidget* widget = widgetForAction(list[index])) {
            widget->update();
        }
    }
}

void CToolBarEx::OnMouseMove(const QPoint& pos) {
    if (!m_bFlat) {
        return;
    }
    const int old = m_nHot;
    m_nHot = -1;
    const QList<QAction*> list = actions();
    for (int i = 0; i < list.size(); ++i) {
        if (list[i]->isSeparator() || !list[i]->isEnabled() || list[i]->isVisible() == false) {
            continue;
        }
        const QRect rect = ButtonRect(i);
        if (rect.isValid() && rect.contains(pos)) {
            if (i != old) {
                InvalidateButton(i);
            }
            m_nHot = i;
        } else if (i == old) {
            InvalidateButton(i);
        }
    }
    if (old != m_nHot && old >= 0) {
        InvalidateButton(old);  // a button that became disabled meanwhile
    }
    m_hotTimer.start();
}

void CToolBarEx::OnHotTimer() {
    if (m_nHot < 0) {
        m_hotTimer.stop();
        return;
    }
    const QRect bar(mapToGlobal(QPoint(0, 0)), size());
    if (bar.contains(m_cursor())) {
        return;
    }
    InvalidateButton(m_nHot);
    m_nHot = -1;
    m_hotTimer.stop();
}

void CToolBarEx::mouseMoveEvent(QMouseEvent* event) {
    OnMouseMove(event->position().toPoint());
    QToolBar::mouseMoveEvent(event);
}

void CToolBarEx::changeEvent(QEvent* event) {
    QToolBar::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        ReloadColours();
        update();
    }
}

bool CToolBarEx::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && widget->parentWidget() == this) {
        switch (event->type()) {
            case QEvent::MouseMove:
            case QEvent::HoverMove:
            case QEvent::HoverEnter: {
                const QPoint local = event->type() == QEvent::MouseMove
                                         ? static_cast<QMouseEvent*>(event)->position().toPoint()
                                         : static_cast<QHoverEvent*>(event)->position().toPoint();
                OnMouseMove(widget->mapToParent(local));
                break;
            }
            case QEvent::Paint:
                if (m_bFlat) {
                    if (auto* button = qobject_cast<QToolButton*>(widget)) {
                        PaintFlatButton(button, IndexOfWidget(button));
                        return true;
                    }
                    if (IsSeparatorWidget(widget)) {
                        PaintSeparator(widget);
                        return true;
                    }
                }
                break;
            default:
                break;
        }
    }
    return QToolBar::eventFilter(watched, event);
}

QPixmap CToolBarEx::EmbossedImage(const QImage& source, const QColor& face, const QColor& highlight,
                                  const QColor& shadow) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QImage out(image.width() + 1, image.height() + 1, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const QRgb faceRgb = face.rgb() & 0xFFFFFFu;
    const QRgb highRgb = highlight.rgb() & 0xFFFFFFu;
    auto ink = [&](int x, int y) {
        const QRgb p = image.pixel(x, y);
        if (qAlpha(p) < 128) {
            return false;
        }
        const QRgb rgb = p & 0xFFFFFFu;
        return rgb != faceRgb && rgb != highRgb;
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (ink(x, y)) {
                out.setPixel(x + 1, y + 1, highlight.rgba());
            }
        }
    }
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (ink(x, y)) {
                out.setPixel(x, y, shadow.rgba());
            }
        }
    }
    return QPixmap::fromImage(out);
}

void CToolBarEx::PaintFlatButton(QToolButton* button, int index) {
    QPainter painter(button);
    const QRect r = button->rect();
    painter.fillRect(r, m_face);
    const bool enabled = button->isEnabled();
    const bool pressed = button->isDown() || button->isChecked();
    const bool hot = enabled && index >= 0 && index == m_nHot;
    if (pressed) {
        Draw3dRect(painter, r, m_shadow, m_highlight);
    } else if (hot) {
        Draw3dRect(painter, r, m_highlight, m_shadow);
    } else if (enabled) {
        Draw3dRect(painter, r, m_face, m_face);
    }
    const QSize imageSize = iconSize();
    const int x = (r.width() - imageSize.width()) / 2 + (pressed ? 1 : 0);
    const int y = (r.height() - imageSize.height()) / 2 + (pressed ? 1 : 0);
    const QPixmap image = button->icon().pixmap(imageSize, devicePixelRatioF());
    if (enabled) {
        painter.drawPixmap(QRect(QPoint(x, y), imageSize), image);
    } else {
        QImage plain = image.toImage().scaled(imageSize);
        painter.drawPixmap(x, y, EmbossedImage(plain, m_face, m_highlight, m_shadow));
    }
}

void CToolBarEx::PaintSeparator(QWidget* separator) {
    QPainter painter(separator);
    const QRect r = separator->rect();
    painter.fillRect(r, m_face);
    // Slots wider than 8 pixels hold something else and show no line.
    if (orientation() == Qt::Horizontal) {
        if (r.width() > 8) {
            return;
        }
        const int mid = (r.left() + r.right() + 1) / 2;
        Draw3dRect(painter, QRect(mid - 1, r.top() + 2, 2, r.height() - 4), m_shadow, m_highlight);
    } else {
        if (r.height() > 8) {
            return;
        }
        const int mid = (r.top() + r.bottom() + 1) / 2;
        Draw3dRect(painter, QRect(r.left() + 2, mid - 1, r.width() - 4, 2), m_shadow, m_highlight);
    }
}

void CToolBarEx::paintEvent(QPaintEvent* event) {
    if (!m_bFlat) {
        QToolBar::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), m_face);
    if (isFloating() || !isMovable()) {
        return;
    }
    // The gripper: two raised strips, 3 pixels apart, inside a 4-pixel
    // inset.
    QRect grip = rect().adjusted(kGripperInset, kGripperInset, -kGripperInset, -kGripperInset);
    if (orientation() == Qt::Horizontal) {
        grip.setWidth(3);
    } else {
        grip.setHeight(3);
    }
    for (int line = 0; line < 2; ++line) {
        Draw3dRect(painter, grip, m_highlight, m_shadow);
        grip.translate(orientation() == Qt::Horizontal ? QPoint(3, 0) : QPoint(0, 3));
    }
}

}  // namespace shell
