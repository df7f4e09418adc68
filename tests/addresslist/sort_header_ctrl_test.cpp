#include "addresslist/sort_header_ctrl.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <optional>
#include <utility>
#include <vector>

#include "addresslist/address_list_model.h"
#include "addresslist/list_resources.h"
#include "list_test_support.h"

namespace addresslist {
namespace {

using testing::DragTo;
using testing::HoverTo;
using testing::Press;
using testing::Release;

TEST(SortHeaderGeometryTest, DropTargetIsTheItemUnderTheCursor) {
    const std::vector<int> widths = {100, 100, 0, 40};
    const struct {
        int x;
        int target;
        int sum;
    } cases[] = {
        {-30, 0, 0},   {0, 0, 0},     {50, 0, 0},     {99, 0, 0},
        {100, 1, 100}, {150, 1, 100}, {200, 3, 200},  // the empty item takes no room
        {239, 3, 200}, {240, 4, 240}, {5000, 4, 240},
    };
    for (const auto& c : cases) {
        int sum = -1;
        EXPECT_EQ(CSortHeaderCtrl::DropTargetAt(widths, c.x, &sum), c.target) << "x = " << c.x;
        EXPECT_EQ(sum, c.sum) << "x = " << c.x;
    }
}

TEST(SortHeaderGeometryTest, TextRectLeavesRoomForTheTriangle) {
    // A blank 3 pixels wide gives off = 6.
    const QRect item(200, 0, 100, 20);
    const struct {
        bool pressed;
        bool sortColumn;
        QRect text;
    } cases[] = {
        {false, false, QRect(206, 0, 88, 20)},
        {false, true, QRect(206, 0, 70, 20)},  // 18 more on the right
        {true, false, QRect(207, 2, 88, 18)},
        {true, true, QRect(207, 2, 70, 18)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CSortHeaderCtrl::TextRect(item, c.pressed, c.sortColumn, 6), c.text);
    }
    EXPECT_LE(CSortHeaderCtrl::TextRect(QRect(0, 0, 30, 20), false, true, 6).width(), 0);
}

class SortHeaderTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 100;

    SortHeaderTest() {
        m_header.setModel(&m_model);
        for (int p = 0; p < kColumnCount; ++p) {
            m_header.resizeSection(p, kWidth);
        }
        m_header.resize(800, 24);
        m_header.SetMoveCallback([this](int from, int to) { m_moves.emplace_back(from, to); });
    }

    QWidget* Port() { return m_header.viewport(); }
    static int Left(int item) { return item * kWidth; }
    static int Mid(int item) { return item * kWidth + kWidth / 2; }

    // Presses on `item`, moves a pixel, moves to `x` and lets go there.
    void Drag(int item, int x) {
        Press(Port(), {Mid(item), 10});
        DragTo(Port(), {Mid(item) + 1, 10});
        DragTo(Port(), {x, 10});
        Release(Port(), {x, 10});
    }

    AddressListModel m_model{LoadColumnLabels()};
    CSortHeaderCtrl m_header;
    std::vector<std::pair<int, int>> m_moves;
};

TEST_F(SortHeaderTest, DropReportsAMoveOnlyToAnotherPlace) {
    const struct {
        const char* name;
        int x;
        std::optional<int> to;
    } cases[] = {
        {"own left boundary", Left(3), std::nullopt},
        {"own right boundary", Left(4), std::nullopt},
        {"inside itself", Mid(3) - 20, std::nullopt},
        {"first column", Mid(0), 0},
        {"left of the header", -20, 0},
        {"left boundary of another", Left(6), 6},
        {"inside another", Left(6) + 1, 6},
        {"beyond the last column", Left(32) + 50, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_moves.clear();
        Drag(3, c.x);
        EXPECT_EQ(m_header.State(), CSortHeaderCtrl::DragState::kIdle);
        if (c.to) {
            EXPECT_EQ(m_moves, (std::vector<std::pair<int, int>>{{3, *c.to}}));
        } else {
            EXPECT_TRUE(m_moves.empty());
        }
    }
}

TEST_F(SortHeaderTest, AClickSortsButTheEndOfADragDoesNot) {
    QSignalSpy clicks(&m_header, &CSortHeaderCtrl::ColumnClicked);
    Press(Port(), {Mid(2), 10});
    EXPECT_EQ(m_header.State(), CSortHeaderCtrl::DragState::kPending);
    Release(Port(), {Mid(2), 10});
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.takeFirst().at(0).toInt(), 2);

    Drag(2, Mid(2) + 10);  // dropped on itself
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_TRUE(m_moves.empty());
}

TEST_F(SortHeaderTest, PressOnADividerResizes) {
    Press(Port(), {Left(4), 10});
    EXPECT_EQ(m_header.State(), CSortHeaderCtrl::DragState::kIdle);
    DragTo(Port(), {Left(4) + 30, 10});
    Release(Port(), {Left(4) + 30, 10});
    EXPECT_EQ(m_header.sectionSize(3), kWidth + 30);
    EXPECT_TRUE(m_moves.empty());
}

TEST_F(SortHeaderTest, AMoveWithoutTheButtonEndsTheDrag) {
    Press(Port(), {Mid(1), 10});
    HoverTo(Port(), {Mid(1) + 5, 10});
    EXPECT_EQ(m_header.State(), CSortHeaderCtrl::DragState::kIdle);

    Press(Port(), {Mid(1), 10});
    DragTo(Port(), {Mid(1) + 1, 10});
    EXPECT_EQ(m_header.State(), CSortHeaderCtrl::DragState::kDragging);
    HoverTo(Port(), {Mid(5), 10});
    EXPECT_EQ(m_header.State(), CSortHeaderCtrl::DragState::kIdle);
    Release(Port(), {Mid(5), 10});
    EXPECT_TRUE(m_moves.empty());
}

TEST_F(SortHeaderTest, RedMarkersPointAtTheDropBoundary) {
    Press(Port(), {Mid(1), 10});
    DragTo(Port(), {Mid(1) + 1, 10});
    DragTo(Port(), {Mid(5), 10});
    ASSERT_EQ(m_header.DropTarget(), 5);
    const int h = m_header.height();
    EXPECT_EQ(m_header.MarkerArea(0), QRect(QPoint(Left(5) - 9, 3), QPoint(Left(5) + 8, h - 4)));
    EXPECT_EQ(m_header.MarkerArea(1), QRect(QPoint(Left(5) - 7, 3), QPoint(Left(5) + 6, h - 4)));
    const QImage image = m_header.grab().toImage();
    EXPECT_EQ(image.pixelColor(Left(5) - 6, h / 2), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(Left(5) + 3, h / 2), QColor(Qt::red));
    EXPECT_NE(image.pixelColor(Left(5) - 30, h / 2), QColor(Qt::red));
    Release(Port(), {Mid(5), 10});
    EXPECT_TRUE(m_header.MarkerArea(0).isNull());
}

TEST_F(SortHeaderTest, FormerSortColumnsStayOwnerDrawnWithoutTriangle) {
    QPalette palette = m_header.palette();
    palette.setColor(QPalette::Button, QColor(192, 192, 192));
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Dark, QColor(64, 64, 64));
    palette.setColor(QPalette::ButtonText, Qt::black);
    m_header.setPalette(palette);

    EXPECT_EQ(m_header.SetSortIndicator(2, 1), -1);
    EXPECT_EQ(m_header.SetSortIndicator(5, 0), 2);
    EXPECT_TRUE(m_header.IsOwnerDrawn(2));
    EXPECT_TRUE(m_header.IsOwnerDrawn(5));
    EXPECT_FALSE(m_header.IsOwnerDrawn(3));

    const QImage image = m_header.grab().toImage();
    // White (the highlight) inside the triangle's corner of an item.
    const int off = 2 * QFontMetrics(m_header.font()).horizontalAdvance(QLatin1Char(' '));
    const auto hasWhite = [&](int item) {
        for (int x = Left(item + 1) - 3 * off; x < Left(item + 1) - off; ++x) {
            for (int y = 1; y < image.height() - 1; ++y) {
                if (image.pixelColor(x, y) == Qt::white) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_FALSE(hasWhite(2));
    EXPECT_TRUE(hasWhite(5));
}

TEST_F(SortHeaderTest, DrawFlagsMoveWithTheirItems) {
    m_header.SetSortIndicator(2, 1);
    m_header.SetSortIndicator(6, 1);
    m_header.OnItemMoved(6, 0);  // items 0..5 shift right; the moved one starts plain
    EXPECT_FALSE(m_header.IsOwnerDrawn(0));
    EXPECT_FALSE(m_header.IsOwnerDrawn(2));
    EXPECT_TRUE(m_header.IsOwnerDrawn(3));
    EXPECT_FALSE(m_header.IsOwnerDrawn(6));
}

}  // namespace
}  // namespace addresslist
