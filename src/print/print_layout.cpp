#include "print/print_layout.h"

#include <algorithm>
#include <cstdint>

namespace print {

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return 0;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t divisor = c;
    const bool negative = (product < 0) != (divisor < 0);
    const std::int64_t magnitude = product < 0 ? -product : product;
    const std::int64_t d = divisor < 0 ? -divisor : divisor;
    const std::int64_t rounded = (magnitude + d / 2) / d;
    return static_cast<int>(negative ? -rounded : rounded);
}

int PageMetrics::FirstRow(int page, int rowCount) const {
    return std::min(rowsPerPage * std::max(page - 1, 0), rowCount);
}

int PageMetrics::EndRow(int page, int rowCount) const {
    return std::min(rowsPerPage * std::max(page, 0), rowCount);
}

PageMetrics ComputePageMetrics(const ScreenMeasures& screen, const PrinterMeasures& printer,
                               int rowCount) {
    PageMetrics m;
    m.m_num = std::max(printer.dpiY, 1);
    m.m_den = std::max(screen.dpiY, 1);
    m.charWidth = std::max(m.Scale(screen.charWidth), 1);
    m.rowHeight = std::max(m.Scale(screen.rowHeight), 1);
    m.fontHeight = std::max(m.Scale(9), 1);
    m.lineWidth = std::max(m.Scale(1), 1);
    m.pageWidth = m.Scale(std::max(screen.rowWidth, 0)) + 8 * m.charWidth;
    m.pageHeight = printer.pixelsWide > 0
                       ? MulDiv(m.pageWidth, std::max(printer.pixelsHigh, 0), printer.pixelsWide)
                       : 0;
    m.rowsPerPage = std::max(m.pageHeight / m.rowHeight - 7, 1);
    const int rows = std::max(rowCount, 0);
    m.pageCount = std::max((rows + m.rowsPerPage - 1) / m.rowsPerPage, 1);
    return m;
}

}  // namespace print
