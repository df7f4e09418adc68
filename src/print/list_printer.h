// CListPrinter: paints the address list onto pages.
//
//   CListPrinter printer(PrintSourceFromView(view));
//   printer.PrintAll(qprinter);          // every page, or the chosen range
//
// Each page has a bold header with the application title and a rule under
// it, a framed band of column headings, its share of the rows painted by the
// list's own RowPainter (same cell fitting and "..." cutting as on screen) in
// black on white, every second row on a light-grey band, and a bold footer with "Page %d of %d" and
// the local date and time.  An empty list prints one page with the header, the heading band and the
// footer.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <memory>

#include "addressbook/address_list.h"
#include "addresslist/row_painter.h"
#include "print/print_layout.h"

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;
class QPrinter;

namespace addresslist {
class CQX32View;
}

namespace print {

// What the printer needs to know about the list; taken from the view when
// a job starts.
struct PrintSource {
    const addressbook::IAddressList* rows = nullptr;  // in display order
    addresslist::RowColumns columns{};                // by display position
    std::array<QString, addresslist::kColumnCount> headings{};
    std::array<Qt::Alignment, addresslist::kColumnCount> headingAlignments{};
    QFont screenFont;
    int screenRowHeight = 0;
    int screenDpiY = 96;
};

// The colours of the printed rows, the same whatever the desktop's colours.
inline constexpr QColor kPaperText{0, 0, 0};
inline constexpr QColor kPaperWhite{255, 255, 255};
inline constexpr QColor kPaperBand{235, 235, 235};

// The rows, columns, headings and measures of `view` as they are now.
PrintSource PrintSourceFromView(const addresslist::CQX32View& view);

// The pages a job prints: 1 to `pageCount`, or the chosen range `fromPage`
// to `toPage` (0: not chosen) cut to the pages that exist.  Empty when the
// range starts after the last page.
struct PageRange {
    int first = 1;
    int last = 0;
    bool IsEmpty() const { return first > last; }
};
PageRange PagesToPrint(int fromPage, int toPage, int pageCount);

enum class PrintResult {
    kPrinted,
    kNoPagesInRange,  // nothing tried: the chosen pages do not exist
    kFailed,          // the printer could not be opened or took no page
};

class CListPrinter {
public:
    explicit CListPrinter(PrintSource source);

    // The date and time text of the footer (default: the C library's "%c"
    // of the local time, at most 127 characters).
    void SetClock(std::function<QString()> clock) { m_clock = std::move(clock); }
    static QString LocalDateTimeText();

    // Sets the metrics and the page count for `device` (the printable area
    // in device pixels and the device's vertical dpi).
    void Begin(const QPaintDevice& device);
    const PageMetrics& Metrics() const { return m_metrics; }
    int PageCount() const { return m_metrics.pageCount; }

    // Paints page `page` (1-based) with `painter`, which is open on the
    // device given to Begin.
    void PrintPage(QPainter& painter, int page) const;

    // Begin, then every page (or the printer's from-to range, cut to the
    // pages that exist), one sheet each.
    PrintResult PrintAll(QPrinter& printer);

    // The scaled columns: widths in page units, cumulative edges rounded
    // once so that the cells tile exactly.
    const addresslist::RowColumns& PageColumns() const { return m_pageColumns; }

private:
    void PaintHeader(QPainter& painter) const;
    void PaintHeadings(QPainter& painter) const;
    void PaintFooter(QPainter& painter, int page) const;

    PrintSource m_source;
    PageMetrics m_metrics;
    addresslist::RowColumns m_pageColumns{};
    QFont m_font;
    QFont m_boldFont;
    std::function<QString()> m_clock;
};

}  // namespace print
