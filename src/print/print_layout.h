// The page layout of a printed address list, as plain numbers.
//
// Everything on paper is measured in one set of logical units: screen
// pixels scaled by printer dpi / screen dpi (a rounded multiply-divide).  The
// column widths are scaled like the character width and the row height, so
// the printed table keeps the proportions of the list on screen.  The
// logical page is W units wide and H = W * (printable height / printable
// width) units high, and it is stretched over the printable area, so x and y
// scale alike.
//
// A page, top to bottom: a 2-row header, a 1-row gap, a 1-row column-heading
// band, n rows, and a 2-row footer at the bottom; a left and right margin of
// 4 character widths each.
#pragma once

namespace print {

// a * b / c, rounded to the nearest integer; 0 when c is 0.
int MulDiv(int a, int b, int c);

struct ScreenMeasures {
    int charWidth = 0;  // average character width of the list's font
    int rowHeight = 0;  // height of one list row
    int rowWidth = 0;   // width of a row: the sum of the column widths
    int dpiY = 96;      // vertical dpi of the list's screen
};

struct PrinterMeasures {
    int dpiY = 96;       // vertical dpi of the printer
    int pixelsWide = 0;  // printable width in device pixels
    int pixelsHigh = 0;  // printable height in device pixels
};

struct PageMetrics {
    int charWidth = 1;    // c
    int rowHeight = 1;    // h
    int pageWidth = 0;    // W
    int pageHeight = 0;   // H
    int rowsPerPage = 1;  // n, never below 1
    int pageCount = 1;    // never below 1: an empty list prints one page
    int fontHeight = 1;   // the print font's pixel height
    int lineWidth = 1;    // one screen pixel on paper

    // One screen length on paper.
    int Scale(int screenLength) const { return MulDiv(screenLength, m_num, m_den); }
    // The first row of `page` (1-based) and one past its last.
    int FirstRow(int page, int rowCount) const;
    int EndRow(int page, int rowCount) const;

    int m_num = 1;  // printer dpi
    int m_den = 1;  // screen dpi
};

// The metrics of a job over `rowCount` rows.  A page too short for eight
// rows still holds one row per page.
PageMetrics ComputePageMetrics(const ScreenMeasures& screen, const PrinterMeasures& printer,
                               int rowCount);

}  // namespace print
