// The caption's colour rules, layout and cached pictures.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QVBoxLayout>

#include <vector>

#include "shell/caption_bar.h"
#include "shell/caption_painter.h"

namespace shell {
namespace {

TEST(Lightness, ZeroTo240Scale) {
    struct Case {
        QColor color;
        int expected;
    };
    const Case cases[] = {
        {QColor(0, 0, 0), 0},     {QColor(255, 255, 255), 240}, {QColor(255, 0, 0), 120},
        {QColor(0, 0, 128), 60},  {QColor(128, 128, 128), 120}, {QColor(95, 95, 95), 89},
        {QColor(96, 96, 96), 90}, {QColor(10, 200, 30), 99},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Lightness(c.color), c.expected) << c.color.name().toStdString();
    }
}

TEST(CaptionTextColor, DarkActiveTextTurnsWhite) {
    CaptionColors colors;
    colors.inactiveText = QColor(1, 2, 3);
    struct Case {
        bool active;
        QColor text;
        QColor expected;
    };
    const Case cases[] = {
        {true, QColor(0, 0, 0), QColor(255, 255, 255)},
        {true, QColor(95, 95, 95), QColor(255, 255, 255)},  // lightness 89
        {true, QColor(96, 96, 96), QColor(96, 96, 96)},     // lightness 90
        {true, QColor(255, 255, 0), QColor(255, 255, 0)},
        {false, QColor(0, 0, 0), QColor(1, 2, 3)},  // inactive text kept
    };
    for (const Case& c : cases) {
        colors.activeText = c.text;
        EXPECT_EQ(CaptionTextColor(c.active, colors), c.expected);
    }
}

// The gradient's columns recomputed straight from the rule: bands of
// max(1, x0 / 64) pixels stepping left from x0 while x > step.
TEST(CaptionGradient, SolidRightSixthQuadraticFadeBlackRemainder) {
    const QColor c(0, 84, 227);
    std::vector<QColor> columns = CaptionGradientColumns(768, c);
    ASSERT_EQ(columns.size(), 768u);
    // x0 = 640, S = 640, s = 10.
    EXPECT_EQ(columns[640], c);
    EXPECT_EQ(columns[767], c);
    // First band, d = 10: 630..639.
    EXPECT_EQ(columns[639], GradientColor(c, 10, 640));
    EXPECT_EQ(columns[630], GradientColor(c, 10, 640));
    EXPECT_EQ(columns[629], GradientColor(c, 20, 640));
    // The loop stops at x = 10 (10 > 10 is false): columns 0..9 are black,
    // the band 10..19 has d = 630.
    EXPECT_EQ(columns[10], GradientColor(c, 630, 640));
    EXPECT_EQ(columns[9], QColor(0, 0, 0));
    EXPECT_EQ(columns[0], QColor(0, 0, 0));
    EXPECT_EQ(GradientColor(c, 320, 640), QColor(0, 63, 171));
}

TEST(CaptionGradient, NarrowCaptionStepsByOnePixel) {
    struct Case {
        int width;
        std::vector<int> blue;  // blue channel of each column
    };
    // Width 12: x0 = 10, S = 10, s = 1; bands at 9..1 with d = 1..9; column 0
    // black.  c - d*d*c/100 for c = 200.
    const Case cases[] = {
        {12, {0, 38, 72, 102, 128, 150, 168, 182, 192, 198, 200, 200}},
        {3, {0, 150, 200}},  // x0 = 2, S = 2, s = 1: band 1 with d = 1
        {1, {200}},          // x0 = 0: all solid
        {0, {}},
    };
    for (const Case& c : cases) {
        std::vector<QColor> columns = CaptionGradientColumns(c.width, QColor(0, 0, 200));
        std::vector<int> blue;
        for (const QColor& col : columns) {
            blue.push_back(col.blue());
        }
        EXPECT_EQ(blue, c.blue) << c.width;
    }
}

// d * d * c passes the range of int from a span of about 2,900 pixels (a
// caption about 3,500 wide); every column still follows the rule.
TEST(CaptionGradient, WideCaptionsDoNotOverflow) {
    const QColor white(255, 255, 255);
    EXPECT_EQ(GradientColor(white, 2916, 2916), QColor(0, 0, 0));
    EXPECT_EQ(GradientColor(white, 1458, 2916), QColor(192, 192, 192));
    EXPECT_EQ(GradientColor(white, 1 << 30, 2147483647), QColor(192, 192, 192));
    for (int width : {3500, 8000, 40000}) {
        const std::vector<QColor> columns = CaptionGradientColumns(width, white);
        ASSERT_EQ(columns.size(), static_cast<std::size_t>(width));
        // Darker to the left, never below black nor above the caption colour.
        for (std::size_t x = 1; x < columns.size(); ++x) {
            ASSERT_LE(columns[x - 1].red(), columns[x].red()) << width << " at " << x;
        }
        EXPECT_EQ(columns.front(), QColor(0, 0, 0)) << width;
        EXPECT_EQ(columns.back(), white) << width;
    }
}

TEST(CaptionLayout, ButtonsFromTheRightAndTextBetween) {
    // W = 400, H = 22, buttons 22 by 21.
    CaptionLayout all = LayoutCaption(400, 22, 22, 21, true, true);
    EXPECT_EQ(all.icon, QRect(2, 1, 20, 19));
    EXPECT_EQ(all.close, QRect(378, 2, 20, 17));     // (W - w, 2) .. (W - 2, h - 2)
    EXPECT_EQ(all.maximize, QRect(356, 2, 20, 17));  // one button width left
    EXPECT_EQ(all.minimize, QRect(336, 2, 20, 17));  // a further w - 2 left
    EXPECT_EQ(all.text, QRect(24, 0, 310, 22));      // w + 2 .. leftmost - 2

    CaptionLayout closeOnly = LayoutCaption(400, 22, 22, 21, false, false);
    EXPECT_TRUE(closeOnly.maximize.isNull());
    EXPECT_TRUE(closeOnly.minimize.isNull());
    EXPECT_EQ(closeOnly.text.right() + 1, 378 - 2);

    CaptionLayout tiny = LayoutCaption(60, 22, 22, 21, true, true);
    EXPECT_TRUE(tiny.text.isNull());
}

TEST(CaptionPainter, PicturesAreCachedUntilSomethingChanges) {
    CaptionPainter painter;
    CaptionColors colors = CaptionColors::FromPalette(QPalette());
    colors.active = QColor(0, 0, 200);
    colors.inactive = QColor(128, 128, 128);
    painter.SetColors(colors);
    CaptionState state;
    state.size = QSize(600, 22);
    state.title = "Quillbox - [Untitled]";

    QImage active = painter.Picture(true, state).toImage();
    EXPECT_EQ(painter.BuildCount(), 1);
    painter.Picture(true, state);
    EXPECT_EQ(painter.BuildCount(), 1);
    QImage inactive = painter.Picture(false, state).toImage();
    EXPECT_EQ(painter.BuildCount(), 2);

    // x0 = 500, step 7: black up to column 2, the band 24..30 has d = 476, the
    // caption colour in the solid part left of the buttons, flat grey when
    // inactive.
    EXPECT_EQ(active.pixelColor(1, 1), QColor(0, 0, 0));
    EXPECT_EQ(active.pixelColor(30, 1), QColor(0, 0, 19));
    EXPECT_EQ(active.pixelColor(24, 1), GradientColor(QColor(0, 0, 200), 476, 500));
    EXPECT_EQ(active.pixelColor(520, 1), QColor(0, 0, 200));
    EXPECT_EQ(inactive.pixelColor(300, 1), QColor(128, 128, 128));

    state.title = "Quillbox - [/tmp/a.qxd]";
    painter.Picture(true, state);
    EXPECT_EQ(painter.BuildCount(), 3);
    state.size = QSize(500, 22);
    painter.Picture(true, state);
    EXPECT_EQ(painter.BuildCount(), 4);
    state.maximized = true;
    painter.Picture(true, state);
    EXPECT_EQ(painter.BuildCount(), 5);
    painter.SetColors(colors);
    painter.Picture(true, state);
    EXPECT_EQ(painter.BuildCount(), 6);
}

TEST(CaptionPainter, ButtonHitTest) {
    CaptionState state;
    state.size = QSize(400, 22);
    struct Case {
        QPoint pos;
        CaptionButton expected;
    };
    const Case cases[] = {
        {QPoint(390, 10), CaptionButton::kClose},    {QPoint(360, 10), CaptionButton::kMaximize},
        {QPoint(340, 10), CaptionButton::kMinimize}, {QPoint(200, 10), CaptionButton::kNone},
        {QPoint(390, 0), CaptionButton::kNone},   // above the buttons
        {QPoint(399, 10), CaptionButton::kNone},  // right of the close button
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CaptionPainter::ButtonAt(c.pos, state), c.expected)
            << c.pos.x() << "," << c.pos.y();
    }
}

// A frameless window with the caption along its top.
class CaptionMouseTest : public ::testing::Test {
protected:
    CaptionMouseTest() {
        m_window.setWindowFlags(Qt::FramelessWindowHint);
        auto* layout = new QVBoxLayout(&m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        m_pCaption = new CCaptionBar(&m_window);
        layout->addWidget(m_pCaption);
        layout->addStretch(1);
        m_window.setGeometry(100, 100, 400, 300);
        m_window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }
    QPoint Title() const { return QPoint(40, m_pCaption->height() / 2); }

    QWidget m_window;
    CCaptionBar* m_pCaption = nullptr;
};

TEST_F(CaptionMouseTest, DoubleClickMaximizesAndRestores) {
    // The first click of the pair must not hand the pointer over for a move,
    // or the second click never arrives.
    QTest::mouseClick(m_pCaption, Qt::LeftButton, {}, Title());
    QTest::mouseDClick(m_pCaption, Qt::LeftButton, {}, Title());
    EXPECT_TRUE(m_window.isMaximized());
    QTest::mouseDClick(m_pCaption, Qt::LeftButton, {}, Title());
    EXPECT_FALSE(m_window.isMaximized());
}

TEST_F(CaptionMouseTest, DraggingTheCaptionMovesTheWindow) {
    const QPoint start = m_window.pos();
    QTest::mousePress(m_pCaption, Qt::LeftButton, {}, Title());
    // A tremble of the hand is not a move.
    QTest::mouseMove(m_pCaption, Title() + QPoint(1, 0));
    EXPECT_EQ(m_window.pos(), start);
    QTest::mouseMove(m_pCaption, Title() + QPoint(30, 20));
    QTest::mouseRelease(m_pCaption, Qt::LeftButton, {}, Title() + QPoint(30, 20));
    EXPECT_EQ(m_window.pos(), start + QPoint(30, 20));
}

}  // namespace
}  // namespace shell
