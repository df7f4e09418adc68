// RowPainter: draws one row of the address list from its entry.
//
// It needs only a painter, a font and a palette, so the list view uses it on
// screen and printing uses it on paper.  Each cell is drawn from the entry at
// paint time; the list keeps no cell text.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPalette>
#include <QRect>
#include <QString>
#include <array>

#include "addressbook/address_entry.h"
#include "addresslist/column_layout.h"

class QPainter;

namespace addresslist {

// One display position as the painter sees it.
struct CellColumn {
    int width = 0;
    int field = -1;  // -1: the header matches no label; the cell stays blank
    Qt::Alignment alignment = Qt::AlignLeft;
};

using RowColumns = std::array<CellColumn, kColumnCount>;

class RowPainter {
public:
    RowPainter(const QFont& font, const QPalette& palette);

    // The text drawn in a cell `columnWidth` pixels wide.  With w =
    // columnWidth - 4:
    //   - w <= 1: the text is not measured; it loses its last character
    //     and gets "...";
    //   - otherwise a text wider than w - 4 is cut, one character at a time
    //     from its end, until it is no wider than w - 4 or empty; then one
    //     more character goes (if any is left) and "..." is appended;
    //   - a text that fits is drawn whole.
    // Characters are Unicode code points: a surrogate pair is never split.
    static QString FitCellText(const QString& text, int columnWidth, const QFontMetrics& metrics);

    // The rectangle a cell's text is drawn in: from left + 2 to
    // left + 2 + (columnWidth - 4), between `top` and `bottom` (exclusive).
    static QRect CellTextRect(int left, int columnWidth, int top, int bottom);

    // Paints one row into `rowRect`: the background (highlight when
    // selected, else the window colour), a focus rectangle when focused, and
    // the cells of `entry` (none when `entry` is null) walking the display
    // positions from the row's left edge.
    void PaintRow(QPainter& painter, const QRect& rowRect, const addressbook::CAddressEntry* entry,
                  bool selected, bool focused, const RowColumns& columns) const;

    // Draws `text` fitted to the cell, on one line, vertically centred, with
    // "&" drawn as itself and the text clipped to the cell's text rectangle.
    void DrawCell(QPainter& painter, const QString& text, int left, int columnWidth, int top,
                  int bottom, Qt::Alignment alignment) const;

private:
    QFont m_font;
    QFontMetrics m_metrics;
    QPalette m_palette;
};

}  // namespace addresslist
