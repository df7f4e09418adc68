#include "shell/caption_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cstdint>

namespace shell {

int Lightness(const QColor& color) {
    int r = color.red();
    int g = color.green();
    int b = color.blue();
    int high = std::max({r, g, b});
    int low = std::min({r, g, b});
    return ((high + low) * 240 + 255) / 510;
}

QColor GradientColor(const QColor& color, int d, int span) {
    if (span <= 0) {
        return color;
    }
    // In 64 bits: d * d * c passes the range of int on a caption about 3,500
    // pixels wide.  A span wider than any window is scaled down first, so
    // that d * d * c stays within 64 bits for every input.
    std::int64_t distance = std::clamp<std::int64_t>(d, 0, span);
    std::int64_t width = span;
    if (width > kMaxCaptionWidth) {
        distance = distance * kMaxCaptionWidth / width;
        width = kMaxCaptionWidth;
    }
    const std::int64_t dd = distance * distance;
    const std::int64_t ss = width * width;
    auto fade = [dd, ss](int c) { return static_cast<int>(c - (dd * c) / ss); };
    return QColor(fade(color.red()), fade(color.green()), fade(color.blue()));
}

std::vector<QColor> CaptionGradientColumns(int width, const QColor& color) {
    width = std::clamp(width, 0, kMaxCaptionWidth);
    std::vector<QColor> columns(static_cast<std::size_t>(width), QColor(0, 0, 0));
    const QColor solid(color.red(), color.green(), color.blue());
    const int x0 = static_cast<int>(std::int64_t{width} * 5 / 6);
    for (int x = x0; x < width; ++x) {
        columns[static_cast<std::size_t>(x)] = solid;
    }
    const int span = x0;
    const int step = std::max(1, span / 64);
    int x = x0;
    int d = 0;
    while (x > step) {
        d += step;
        x -= step;
        QColor band = GradientColor(solid, d, span);
        for (int i = x; i < x + step; ++i) {
            columns[static_cast<std::size_t>(i)] = band;
        }
    }
    // Columns 0 .. x - 1 stay black.
    return columns;
}

CaptionColors CaptionColors::FromPalette(const QPalette& palette) {
    CaptionColors c;
    c.active = palette.color(QPalette::Active, QPalette::Highlight);
    c.activeText = palette.color(QPalette::Active, QPalette::HighlightedText);
    c.inactive = palette.color(QPalette::Active, QPalette::Dark);
    c.inactiveText = palette.color(QPalette::Active, QPalette::Light);
    c.buttonFace = palette.color(QPalette::Active, QPalette::Button);
    c.buttonLight = palette.color(QPalette::Active, QPalette::Light);
    c.buttonShadow = palette.color(QPalette::Active, QPalette::Mid);
    c.buttonDarkShadow = palette.color(QPalette::Active, QPalette::Shadow);
    c.buttonText = palette.color(QPalette::Active, QPalette::ButtonText);
    return c;
}

QColor CaptionTextColor(bool active, const CaptionColors& colors) {
    if (!active) {
        return colors.inactiveText;
    }
    if (Lightness(colors.activeText) < 90) {
        return QColor(255, 255, 255);
    }
    return colors.activeText;
}

CaptionLayout LayoutCaption(int width, int height, int buttonWidth, int buttonHeight,
                            bool hasMaximize, bool hasMinimize) {
    CaptionLayout layout;
    const int w = buttonWidth;
    const int h = buttonHeight;
    layout.icon = QRect(2, 1, w - 2, h - 2);
    // Buttons span (left, 2) to (right, h - 2), right and bottom exclusive.
    QRect button(width - w, 2, w - 2, h - 4);
    layout.close = button;
    int leftmost = button.left();
    if (hasMaximize) {
        button.translate(-w, 0);
        layout.maximize = button;
        leftmost = button.left();
    }
    if (hasMinimize) {
        button.translate(-(w - 2), 0);
        layout.minimize = button;
        leftmost = button.left();
    }
    int textLeft = w + 2;
    int textRight = leftmost - 2;  // exclusive
    if (textRight > textLeft) {
        layout.text = QRect(textLeft, 0, textRight - textLeft, height);
    }
    return layout;
}

CaptionPainter::CaptionPainter() {
    m_colors = CaptionColors::FromPalette(QPalette());
}

void CaptionPainter::SetColors(const CaptionColors& colors) {
    m_colors = colors;
    Invalidate();
}

void CaptionPainter::SetFont(const QFont& font) {
    m_font = font;
    Invalidate();
}

void CaptionPainter::Invalidate() {
    m_cachedSize = QSize();
    m_bitmaps[0] = QPixmap();
    m_bitmaps[1] = QPixmap();
}

const QPixmap& CaptionPainter::Picture(bool active, const CaptionState& state) {
    if (state.size != m_cachedSize || state.title != m_strCachedTitle ||
        state.maximized != m_bCachedMaximized || state.devicePixelRatio != m_cachedRatio) {
        m_bitmaps[0] = QPixmap();
        m_bitmaps[1] = QPixmap();
        m_cachedSize = state.size;
        m_strCachedTitle = state.title;
        m_bCachedMaximized = state.maximized;
        m_cachedRatio = state.devicePixelRatio;
    }
    QPixmap& picture = m_bitmaps[active ? 1 : 0];
    if (picture.isNull()) {
        picture = Build(active, state);
    }
    return picture;
}

QRect CaptionPainter::ButtonRect(CaptionButton button, const CaptionState& state) {
    QSize buttonSize = ButtonSize(state.size.height());
    CaptionLayout layout =
        LayoutCaption(state.size.width(), state.size.height(), buttonSize.width(),
                      buttonSize.height(), state.hasMaximize, state.hasMinimize);
    switch (button) {
        case CaptionButton::kClose:
            return layout.close;
        case CaptionButton::kMaximize:
            return layout.maximize;
        case CaptionButton::kMinimize:
            return layout.minimize;
        case CaptionButton::kNone:
            break;
    }
    return QRect();
}

CaptionButton CaptionPainter::ButtonAt(const QPoint& pos, const CaptionState& state) {
    for (CaptionButton button :
         {CaptionButton::kClose, CaptionButton::kMaximize, CaptionButton::kMinimize}) {
        QRect rect = ButtonRect(button, state);
        if (!rect.isEmpty() && rect.contains(pos)) {
            return button;
        }
    }
    return CaptionButton::kNone;
}

QPixmap CaptionPainter::Build(bool active, const CaptionState& state) {
    ++m_nBuildCount;
    const int width = state.size.width();
    const int height = state.size.height();
    if (width <= 0 || height <= 0) {
        return QPixmap(1, 1);
    }
    QPixmap picture(
        QSize(qRound(width * state.devicePixelRatio), qRound(height * state.devicePixelRatio)));
    picture.setDevicePixelRatio(state.devicePixelRatio);
    QPainter painter(&picture);

    if (active) {
        std::vector<QColor> columns = CaptionGradientColumns(width, m_colors.active);
        // Runs of equal colour are filled at once.
        int start = 0;
        for (int x = 1; x <= width; ++x) {
            if (x == width ||
                columns[static_cast<std::size_t>(x)] != columns[static_cast<std::size_t>(start)]) {
                painter.fillRect(QRect(start, 0, x - start, height),
                                 columns[static_cast<std::size_t>(start)]);
                start = x;
            }
        }
    } else {
        painter.fillRect(QRect(0, 0, width, height), m_colors.inactive);
    }

    QSize buttonSize = ButtonSize(height);
    CaptionLayout layout = LayoutCaption(width, height, buttonSize.width(), buttonSize.height(),
                                         state.hasMaximize, state.hasMinimize);
    if (!state.icon.isNull() && !layout.icon.isEmpty()) {
        state.icon.paint(&painter, layout.icon);
    }
    DrawButton(painter, CaptionButton::kClose, layout.close, state.maximized, false);
    if (state.hasMaximize) {
        DrawButton(painter, CaptionButton::kMaximize, layout.maximize, state.maximized, false);
    }
    if (state.hasMinimize) {
        DrawButton(painter, CaptionButton::kMinimize, layout.minimize, state.maximized, false);
    }
    if (!layout.text.isEmpty()) {
        painter.setFont(m_font);
        painter.setPen(CaptionTextColor(active, m_colors));
        QFontMetrics metrics(m_font);
        QString text = metrics.elidedText(state.title, Qt::ElideRight, layout.text.width());
        painter.drawText(layout.text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    return picture;
}

void CaptionPainter::DrawPressedButton(QPainter& painter, CaptionButton button,
                                       const CaptionState& state) {
    QRect rect = ButtonRect(button, state);
    if (!rect.isEmpty()) {
        DrawButton(painter, button, rect, state.maximized, true);
    }
}

void CaptionPainter::DrawButton(QPainter& painter, CaptionButton button, const QRect& rect,
                                bool maximized, bool pressed) const {
    if (rect.width() < 4 || rect.height() < 4) {
        return;
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect, m_colors.buttonFace);
    // A raised (or, pressed, sunken) two-pixel edge.
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.right();
    const int b = rect.bottom();
    QColor outerTopLeft = pressed ? m_colors.buttonDarkShadow : m_colors.buttonFace;
    QColor innerTopLeft = pressed ? m_colors.buttonShadow : m_colors.buttonLight;
    QColor outerBottomRight = pressed ? m_colors.buttonLight : m_colors.buttonDarkShadow;
    QColor innerBottomRight = pressed ? m_colors.buttonFace : m_colors.buttonShadow;
    painter.setPen(outerTopLeft);
    painter.drawLine(l, t, r - 1, t);
    painter.drawLine(l, t, l, b - 1);
    painter.setPen(innerTopLeft);
    painter.drawLine(l + 1, t + 1, r - 2, t + 1);
    painter.drawLine(l + 1, t + 1, l + 1, b - 2);
    painter.setPen(outerBottomRight);
    painter.drawLine(l, b, r, b);
    painter.drawLine(r, t, r, b);
    painter.setPen(innerBottomRight);
    painter.drawLine(l + 1, b - 1, r - 1, b - 1);
    painter.drawLine(r - 1, t + 1, r - 1, b - 1);

    // The glyph, in a square centred on the face, one pixel down and right
    // when pressed.
    int side = std::max(4, std::min(rect.width(), rect.height()) - 7);
    QRect glyph(0, 0, side, side);
    glyph.moveCenter(rect.center());
    if (pressed) {
        glyph.translate(1, 1);
    }
    QPen pen(m_colors.buttonText);
    pen.setWidth(1);
    painter.setPen(pen);
    switch (button) {
        case CaptionButton::kClose: {
            painter.setRenderHint(QPainter::Antialiasing, true);
            QPen thick(m_colors.buttonText, 1.6);
            painter.setPen(thick);
            QRectF g = QRectF(glyph).adjusted(0.5, 0.5, 0.5, 0.5);
            painter.drawLine(g.topLeft(), g.bottomRight());
            painter.drawLine(g.topRight(), g.bottomLeft());
            break;
        }
        case CaptionButton::kMaximize:
            if (maximized) {
                // Restore: two overlapping windows.
                int s = side * 3 / 4;
                QRect back(glyph.right() - s + 1, glyph.top(), s, s);
                QRect front(glyph.left(), glyph.bottom() - s + 1, s, s);
                painter.drawRect(back.adjusted(0, 0, -1, -1));
                painter.fillRect(QRect(back.left(), back.top(), s, 2), m_colors.buttonText);
                painter.fillRect(front.adjusted(0, 0, -1, -1), m_colors.buttonFace);
                painter.drawRect(front.adjusted(0, 0, -1, -1));
                painter.fillRect(QRect(front.left(), front.top(), s, 2), m_colors.buttonText);
            } else {
                painter.drawRect(glyph.adjusted(0, 0, -1, -1));
                painter.fillRect(QRect(glyph.left(), glyph.top(), glyph.width(), 2),
                                 m_colors.buttonText);
            }
            break;
        case CaptionButton::kMinimize:
            painter.fillRect(QRect(glyph.left() + 1, glyph.bottom() - 1, side * 2 / 3, 2),
                             m_colors.buttonText);
            break;
        case CaptionButton::kNone:
            break;
    }
    painter.restore();
}

}  // namespace shell
