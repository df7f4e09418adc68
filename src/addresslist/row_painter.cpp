#include "addresslist/row_painter.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

namespace addresslist {

namespace {

const QString kEllipsis = QStringLiteral("...");

// The length of `text` without its last character (a surrogate pair counts
// as one character).
qsizetype WithoutLastCharacter(const QString& text, qsizetype length) {
    if (length <= 0) {
        return 0;
    }
    if (length >= 2 && text[length - 1].isLowSurrogate() && text[length - 2].isHighSurrogate()) {
        return length - 2;
    }
    return length - 1;
}

// True when a prefix of `length` code units does not end inside a pair.
bool IsCharacterBoundary(const QString& text, qsizetype length) {
    return length <= 0 || length >= text.size() || !text[length - 1].isHighSurrogate() ||
           !text[length].isLowSurrogate();
}

// The longest prefix of `text` (in code units, at a character boundary) no
// wider than `limit`, given that the whole text is wider.  Text widths grow
// with the prefix, so a galloping search followed by a binary search finds
// the same prefix as cutting one character at a time, while measuring only
// a few prefixes of a long note.
qsizetype LongestPrefixWithin(const QString& text, int limit, const QFontMetrics& metrics) {
    if (limit < 0) {
        return 0;
    }
    const auto width = [&](qsizetype length) {
        return metrics.horizontalAdvance(text, static_cast<int>(length));
    };
    qsizetype fits = 0;  // a prefix known to fit
    qsizetype tooWide = text.size();
    for (qsizetype step = 8; step < tooWide; step *= 2) {
        qsizetype probe = step;
        if (!IsCharacterBoundary(text, probe)) {
            ++probe;
        }
        if (width(probe) > limit) {
            tooWide = probe;
            break;
        }
        fits = probe;
    }
    while (tooWide - fits > 1) {
        qsizetype mid = fits + (tooWide - fits) / 2;
        if (!IsCharacterBoundary(text, mid)) {
            if (mid + 1 < tooWide) {
                ++mid;
            } else if (mid - 1 > fits) {
                --mid;
            } else {
                break;
            }
        }
        if (width(mid) > limit) {
            tooWide = mid;
        } else {
            fits = mid;
        }
    }
    return fits;
}

}  // namespace

RowPainter::RowPainter(const QFont& font, const QPalette& palette)
    : m_font(font), m_metrics(font), m_palette(palette) {}

QString RowPainter::FitCellText(const QString& text, int columnWidth, const QFontMetrics& metrics) {
    const int w = columnWidth - 4;
    qsizetype length = text.size();
    if (w > 1) {
        const int limit = w - 4;
        if (metrics.horizontalAdvance(text) <= limit) {
            return text;
        }
        length = LongestPrefixWithin(text, limit, metrics);
    }
    length = WithoutLastCharacter(text, length);
    return text.left(length) + kEllipsis;
}

QRect RowPainter::CellTextRect(int left, int columnWidth, int top, int bottom) {
    const int w = columnWidth - 4;
    return QRect(left + 2, top, w, bottom - top);
}

void RowPainter::DrawCell(QPainter& painter, const QString& text, int left, int columnWidth,
                          int top, int bottom, Qt::Alignment alignment) const {
    const QString shown = FitCellText(text, columnWidth, m_metrics);
    const QRect rect = CellTextRect(left, columnWidth, top, bottom);
    if (rect.width() <= 0 || rect.height() <= 0) {
        return;
    }
    const Qt::Alignment horizontal =
        alignment & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(rect, static_cast<int>(horizontal | Qt::AlignVCenter) | Qt::TextSingleLine,
                     shown);
    painter.restore();
}

void RowPainter::PaintRow(QPainter& painter, const QRect& rowRect,
                          const addressbook::CAddressEntry* entry, bool selected, bool focused,
                          const RowColumns& columns) const {
    painter.save();
    painter.fillRect(rowRect, m_palette.color(selected ? QPalette::Highlight : QPalette::Base));
    const QColor textColour =
        m_palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (focused) {
        QPen pen(textColour, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rowRect.adjusted(0, 0, -1, -1));
    }
    if (entry != nullptr) {
        painter.setFont(m_font);
        painter.setPen(textColour);
        const int top = rowRect.top();
        const int bottom = rowRect.top() + rowRect.height();
        int left = rowRect.left();
        for (const CellColumn& column : columns) {
            if (column.field >= 0 && column.field < kColumnCount) {
                const std::string_view field = entry->GetField(column.field);
                DrawCell(painter,
                         QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())),
                         left, column.width, top, bottom, column.alignment);
            }
            left += column.width;
        }
    }
    painter.restore();
}

}  // namespace addresslist
