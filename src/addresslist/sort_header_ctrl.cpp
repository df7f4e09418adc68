#include "addresslist/sort_header_ctrl.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <algorithm>

namespace addresslist {

namespace {

constexpr int kMaxItemText = 255;

// A one-pixel pen that, like a classic line-to, leaves out the end point.
QPen LinePen(const QColor& colour) {
    QPen pen(colour, 0);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

CSortHeaderCtrl::CSortHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setMinimumSectionSize(0);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionClicked, this, &CSortHeaderCtrl::OnSectionClicked);
    connect(this, &QHeaderView::sectionCountChanged, this,
            [this](int, int newCount) { m_ownerDrawn.resize(static_cast<std::size_t>(newCount)); });
}

int CSortHeaderCtrl::SetSortIndicator(int column, int direction) {
    const int previous = m_nSortColumn;
    m_nSortColumn = column;
    m_nSortDirection = direction;
    if (column >= 0) {
        if (static_cast<std::size_t>(column) >= m_ownerDrawn.size()) {
            m_ownerDrawn.resize(static_cast<std::size_t>(column) + 1);
        }
        m_ownerDrawn[static_cast<std::size_t>(column)] = true;
    }
    viewport()->update();
    return previous;
}

bool CSortHeaderCtrl::IsOwnerDrawn(int item) const {
    return item >= 0 && static_cast<std::size_t>(item) < m_ownerDrawn.size() &&
           m_ownerDrawn[static_cast<std::size_t>(item)];
}

void CSortHeaderCtrl::OnItemMoved(int from, int to) {
    const int count = static_cast<int>(m_ownerDrawn.size());
    if (from < 0 || from >= count || to < 0 || to > count || to == from || to == from + 1) {
        return;
    }
    auto first = m_ownerDrawn.begin();
    int landed;
    if (to > from) {
        std::rotate(first + from, first + from + 1, first + to);
        landed = to - 1;
    } else {
        std::rotate(first + to, first + from, first + from + 1);
        landed = to;
    }
    m_ownerDrawn[static_cast<std::size_t>(landed)] = false;
    viewport()->update();
}

void CSortHeaderCtrl::ResetOwnerDrawn() {
    std::fill(m_ownerDrawn.begin(), m_ownerDrawn.end(), false);
    viewport()->update();
}

int CSortHeaderCtrl::ItemAt(int x) const {
    const int item = logicalIndexAt(x);
    if (item < 0) {
        return -1;
    }
    // The same divider zones in which the header starts resizing on a press.
    const int start = sectionViewportPosition(item);
    const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    if (x < start + grip && visualIndex(item) > 0) {
        return -1;
    }
    if (x > start + sectionSize(item) - grip) {
        return -1;
    }
    return item;
}

int CSortHeaderCtrl::DropTargetAt(std::span<const int> widths, int x, int* sum) {
    int left = 0;
    if (x > 0) {
        for (std::size_t i = 0; i < widths.size(); ++i) {
            if (left <= x && x < left + widths[i]) {
                *sum = left;
                return static_cast<int>(i);
            }
            left += widths[i];
        }
        *sum = left;
        return static_cast<int>(widths.size());
    }
    *sum = 0;
    return 0;
}

QRect CSortHeaderCtrl::TextRect(const QRect& itemRect, bool pressed, bool sortColumn, int off) {
    int left = itemRect.left();
    int top = itemRect.top();
    int right = itemRect.left() + itemRect.width();  // exclusive
    const int bottom = itemRect.top() + itemRect.height();
    if (pressed) {
        left += 1;
        right += 1;
        top += 2;
    }
    if (sortColumn) {
        right -= 3 * off;
    }
    left += off;
    right -= off;
    return QRect(left, top, right - left, bottom - top);
}

void CSortHeaderCtrl::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!IsOwnerDrawn(logicalIndex)) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    DrawItem(*painter, rect, logicalIndex);
}

void CSortHeaderCtrl::DrawItem(QPainter& painter, const QRect& rect, int item) const {
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.fillRect(rect, palette().color(QPalette::Button));
    // A raised edge, lit at the top and left, so that the item reads as one
    // of the header's buttons.
    painter.setPen(QPen(palette().color(QPalette::Light), 0));
    painter.drawLine(rect.left(), rect.top(), rect.right() - 1, rect.top());
    painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom() - 1);
    painter.setPen(QPen(palette().color(QPalette::Dark), 0));
    painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());

    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int sp = metrics.horizontalAdvance(QLatin1Char(' '));
    const int off = 2 * sp;

    QString text;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (model() != nullptr) {
        text = model()
                   ->headerData(item, Qt::Horizontal, Qt::DisplayRole)
                   .toString()
                   .left(kMaxItemText);
        const auto alignment =
            Qt::Alignment(model()->headerData(item, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
        if (alignment & Qt::AlignHCenter) {
            horizontal = Qt::AlignHCenter;
        } else if (alignment & Qt::AlignRight) {
            horizontal = Qt::AlignRight;
        }
    }
    const bool pressed = m_state != DragState::kIdle && item == m_nPressedColumn;
    const bool sortColumn = item == m_nSortColumn;
    const QRect textRect = TextRect(rect, pressed, sortColumn, off);
    if (textRect.width() > 0) {
        painter.setPen(palette().color(QPalette::ButtonText));
        const QString shown = metrics.elidedText(text, Qt::ElideRight, textRect.width());
        painter.drawText(
            textRect,
            static_cast<int>(horizontal | Qt::AlignVCenter) | Qt::TextSingleLine | Qt::TextDontClip,
            shown);
    }
    if (sortColumn) {
        DrawSortTriangle(painter, rect, off);
    }
    painter.restore();
}

void CSortHeaderCtrl::DrawSortTriangle(QPainter& painter, const QRect& rect, int off) const {
    const int r = rect.left() + rect.width();  // exclusive right edge
    const int b = rect.top() + rect.height();  // exclusive bottom edge
    const int t = rect.top();
    const QPen light = LinePen(palette().color(QPalette::Light));
    const QPen dark = LinePen(palette().color(QPalette::Dark));
    const auto line = [&](const QPen& pen, QPoint from, QPoint to) {
        painter.setPen(pen);
        painter.drawLine(from, to);
    };
    if (m_nSortDirection != 0) {
        // Pointing up, lit on its right side and bottom.
        const QPoint apex(r - 2 * off, t + off - 1);
        const QPoint lowRight(r - 3 * off / 2, b - off);
        const QPoint lowLeft(r - 5 * off / 2 - 2, b - off);
        line(light, apex, lowRight);
        line(light, lowRight, lowLeft);
        line(dark, QPoint(r - 5 * off / 2 - 1, b - off - 1), QPoint(r - 2 * off, t + off - 2));
    } else {
        // Pointing down, lit on its right side, shaded on its left and top.
        line(light, QPoint(r - 3 * off / 2, t + off - 1), QPoint(r - 2 * off - 1, b - off + 1));
        const QPoint tip(r - 2 * off - 1, b - off);
        const QPoint topLeft(r - 5 * off / 2 - 1, t + off - 1);
        line(dark, tip, topLeft);
        line(dark, topLeft, QPoint(r - 3 * off / 2, t + off - 1));
    }
}

void CSortHeaderCtrl::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    if (m_state != DragState::kDragging || m_markerAreas[0].isNull()) {
        return;
    }
    const int x = m_nMarkerSum - offset();
    const int h = height();
    QPainter painter(viewport());
    painter.setPen(QPen(Qt::red, 0));
    painter.setBrush(Qt::red);
    painter.drawPolygon(QPolygon({QPoint(x - 3, h / 2), QPoint(x - 8, h - 4), QPoint(x - 8, 4)}));
    painter.drawPolygon(QPolygon({QPoint(x + 1, h / 2), QPoint(x + 6, h - 4), QPoint(x + 6, 4)}));
}

void CSortHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int item = ItemAt(event->position().toPoint().x());
        if (item >= 0) {
            m_state = DragState::kPending;
            m_nPressedColumn = item;
        }
    }
    QHeaderView::mousePressEvent(event);
}

void CSortHeaderCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        if (m_state == DragState::kDragging) {
            EndDrag();
        }
        m_state = DragState::kIdle;
        QHeaderView::mouseMoveEvent(event);
        return;
    }
    if (m_state == DragState::kPending) {
        // Any move with the button held starts a drag, however small.  The
        // header itself never sees the drag's moves.
        m_state = DragState::kDragging;
        m_nDropTarget = m_nPressedColumn;
        m_widths.resize(static_cast<std::size_t>(count()));
        for (int i = 0; i < count(); ++i) {
            m_widths[static_cast<std::size_t>(i)] = sectionSize(i);
        }
        return;
    }
    if (m_state == DragState::kDragging) {
        int sum = 0;
        const int target = DropTargetAt(m_widths, event->position().toPoint().x() + offset(), &sum);
        if (target == m_nDropTarget) {
            return;
        }
        m_nDropTarget = target;
        for (const QRect& area : m_markerAreas) {
            viewport()->update(area);
        }
        m_nMarkerSum = sum;
        const int x = sum - offset();
        const int h = height();
        m_markerAreas[0] = QRect(QPoint(x - 9, 3), QPoint(x + 9 - 1, h - 3 - 1));
        m_markerAreas[1] = QRect(QPoint(x - 7, 3), QPoint(x + 7 - 1, h - 3 - 1));
        for (const QRect& area : m_markerAreas) {
            viewport()->update(area);
        }
        return;
    }
    QHeaderView::mouseMoveEvent(event);
}

void CSortHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (m_state == DragState::kDragging && event->button() == Qt::LeftButton) {
        const int from = m_nPressedColumn;
        const int to = m_nDropTarget;
        EndDrag();
        // The release ends the header's own press too, but must not count as
        // a click on the column under the cursor.
        m_bSuppressClick = true;
        QHeaderView::mouseReleaseEvent(event);
        m_bSuppressClick = false;
        if (to != from && to != from + 1 && m_moveCallback) {
            m_moveCallback(from, to);
        }
        return;
    }
    if (event->button() == Qt::LeftButton) {
        m_state = DragState::kIdle;
    }
    QHeaderView::mouseReleaseEvent(event);
}

void CSortHeaderCtrl::EndDrag() {
    m_state = DragState::kIdle;
    m_widths.clear();
    m_widths.shrink_to_fit();
    m_markerAreas[0] = QRect();
    m_markerAreas[1] = QRect();
    viewport()->update();
}

void CSortHeaderCtrl::OnSectionClicked(int logicalIndex) {
    if (!m_bSuppressClick) {
        emit ColumnClicked(logicalIndex);
    }
}

}  // namespace addresslist
