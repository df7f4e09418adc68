// CSortHeaderCtrl: the header of the address list.
//
// Besides what a plain header does (clicks, resizing on a divider), it
//  - draws the sort column with a small 3-D triangle, pointing up for an
//    ascending and down for a descending sort;
//  - lets the user drag a column header to another place, marking the drop
//    position with two red triangles, and reports the move through the move
//    callback.  Qt's own section moving stays off: section index = display
//    position throughout.
//
// Drag states: idle -> (left press on an item) -> pending -> (first move with
// the button held) -> dragging -> (release) -> idle.  A move without the
// button returns to idle from either state.
#pragma once

#include <QHeaderView>
#include <QRect>
#include <functional>
#include <span>
#include <vector>

namespace addresslist {

class CSortHeaderCtrl : public QHeaderView {
    Q_OBJECT

public:
    // Called with (from, to) when a dragged column is dropped at a new
    // place; `to` counts positions before the move (32 = after the last).
    using MoveCallback = std::function<void(int from, int to)>;

    enum class DragState { kIdle, kPending, kDragging };

    explicit CSortHeaderCtrl(QWidget* parent = nullptr);

    void SetMoveCallback(MoveCallback callback) { m_moveCallback = std::move(callback); }

    // Shows the triangle in `column` (direction non-zero: ascending), marks
    // that column as drawn by this control from now on, repaints and returns
    // the previous sort column (-1 when there was none).  A former sort
    // column keeps being drawn here, without a triangle.
    int SetSortIndicator(int column, int direction);
    int SortColumn() const { return m_nSortColumn; }
    int SortDirection() const { return m_nSortDirection; }
    bool IsOwnerDrawn(int item) const;

    // Keeps the per-item drawing flags in step when the list moves column
    // `from` before column `to`: the moved column starts plain, the others
    // keep their flags.
    void OnItemMoved(int from, int to);
    // Every item drawn plainly again, as after the columns are rebuilt.
    void ResetOwnerDrawn();

    // ---- Dragging, exposed for tests ----
    DragState State() const { return m_state; }
    int PressedColumn() const { return m_nPressedColumn; }
    int DropTarget() const { return m_nDropTarget; }
    QRect MarkerArea(int which) const { return m_markerAreas[which == 0 ? 0 : 1]; }

    // The item under viewport x, or -1 when x is on a divider (where a press
    // resizes) or beyond the items.
    int ItemAt(int x) const;

    // The item before which a column dropped at content x would go, given
    // the item widths: the item whose span holds x (its left edge counts to
    // it), 0 when x <= 0, and the item count beyond the last item.  `sum`
    // receives the left edge of that item (the total width for the count).
    static int DropTargetAt(std::span<const int> widths, int x, int* sum);

    // The rectangle the text of an item is drawn in: shifted 1 pixel right
    // and 2 down when pressed, 3 * off less on the right for the sort
    // column, then off less on both sides (off = twice the width of a blank).
    static QRect TextRect(const QRect& itemRect, bool pressed, bool sortColumn, int off);

signals:
    // A click on a column that did not end a drag.
    void ColumnClicked(int position);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnSectionClicked(int logicalIndex);
    void EndDrag();
    void DrawItem(QPainter& painter, const QRect& rect, int item) const;
    void DrawSortTriangle(QPainter& painter, const QRect& rect, int off) const;

    MoveCallback m_moveCallback;
    std::vector<bool> m_ownerDrawn;
    int m_nSortColumn = -1;
    int m_nSortDirection = 1;

    DragState m_state = DragState::kIdle;
    std::vector<int> m_widths;  // snapshot taken when a drag starts
    int m_nPressedColumn = -1;
    int m_nDropTarget = -1;
    int m_nMarkerSum = 0;  // content x of the boundary the markers point at
    QRect m_markerAreas[2];
    bool m_bSuppressClick = false;
};

}  // namespace addresslist
