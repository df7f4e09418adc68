#include <gtest/gtest.h>

#include "print/print_layout.h"

namespace print {
namespace {

TEST(PrintLayoutTest, MulDivRoundsToNearest) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {9, 600, 96, 56},               // 56.25
        {9, 1200, 96, 113},             // 112.5 rounds up
        {7, 300, 96, 22},               // 21.875
        {-9, 600, 96, -56},             // the sign follows the product
        {5, 1, 0, 0},                   // no divisor
        {2000000, 1200, 96, 25000000},  // no overflow in between
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
    }
}

TEST(PrintLayoutTest, MetricsFollowTheScreenScaledToThePrinter) {
    ScreenMeasures screen{7, 20, 1000, 96};
    // A 600 dpi printer with a printable area of 4800 x 6400 pixels.
    PrinterMeasures printer{600, 4800, 6400};
    PageMetrics m = ComputePageMetrics(screen, printer, 100);
    EXPECT_EQ(m.charWidth, 44);   // 7 * 600 / 96 = 43.75
    EXPECT_EQ(m.rowHeight, 125);  // 20 * 6.25
    EXPECT_EQ(m.fontHeight, 56);  // 9 * 6.25 = 56.25
    EXPECT_EQ(m.pageWidth, 6250 + 8 * 44);
    EXPECT_EQ(m.pageHeight, MulDiv(m.pageWidth, 6400, 4800));
    EXPECT_EQ(m.rowsPerPage, m.pageHeight / 125 - 7);
}

TEST(PrintLayoutTest, PageCountAndRowRanges) {
    ScreenMeasures screen{7, 20, 1000, 96};
    PrinterMeasures printer{96, 1000, 1000};  // square page: W = H = 1056, n = 52 - 7 = 45
    const int n = ComputePageMetrics(screen, printer, 0).rowsPerPage;
    ASSERT_EQ(n, 45);
    struct Case {
        int rows, pages, lastPageFirst, lastPageEnd;
    };
    const Case cases[] = {
        {0, 1, 0, 0},  // an empty list still prints one page
        {1, 1, 0, 1}, {n, 1, 0, n}, {n + 1, 2, n, n + 1}, {3 * n, 3, 2 * n, 3 * n},
    };
    for (const Case& c : cases) {
        PageMetrics m = ComputePageMetrics(screen, printer, c.rows);
        EXPECT_EQ(m.pageCount, c.pages) << c.rows << " rows";
        EXPECT_EQ(m.FirstRow(m.pageCount, c.rows), c.lastPageFirst) << c.rows << " rows";
        EXPECT_EQ(m.EndRow(m.pageCount, c.rows), c.lastPageEnd) << c.rows << " rows";
    }
}

TEST(PrintLayoutTest, RowsPerPageNeverBelowOne) {
    struct Case {
        const char* what;
        ScreenMeasures screen;
        PrinterMeasures printer;
    };
    const Case cases[] = {
        {"page shorter than eight rows", {7, 20, 1000, 96}, {96, 1000, 100}},
        {"no printable height", {7, 20, 1000, 96}, {96, 1000, 0}},
        {"no printable width", {7, 20, 1000, 96}, {96, 0, 1000}},
        {"no columns and no font", {0, 0, 0, 96}, {96, 10, 10}},
    };
    for (const Case& c : cases) {
        PageMetrics m = ComputePageMetrics(c.screen, c.printer, 10);
        EXPECT_EQ(m.rowsPerPage, 1) << c.what;
        EXPECT_EQ(m.pageCount, 10) << c.what;
        EXPECT_GE(m.rowHeight, 1) << c.what;
        EXPECT_GE(m.charWidth, 1) << c.what;
    }
}

}  // namespace
}  // namespace print
