#include "print/list_printer.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPaintDevice>
#include <QPainter>
#include <QPrinter>

#include <ctime>

#include "addresslist/address_list_view.h"
#include "platform/string_resource.h"
#include "resources/string_table.h"

namespace print {

namespace {

// "Page %d of %d" filled in.
QString PageText(int page, int last) {
    QString format = platform::ResourceString(resources::kStrPageOf);
    format.replace(format.indexOf(QLatin1String("%d")), 2, QString::number(page));
    format.replace(format.indexOf(QLatin1String("%d")), 2, QString::number(last));
    return format;
}

// Black text on `background`, the colours of a row on paper.
QPalette PaperPalette(const QColor& background) {
    QPalette palette;
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, kPaperText);
    return palette;
}

}  // namespace

PrintSource PrintSourceFromView(const addresslist::CQX32View& view) {
    PrintSource source;
    const addresslist::AddressListModel& model = view.Model();
    source.rows = &model;
    const QHeaderView* header = view.header();
    for (int p = 0; p < addresslist::kColumnCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        // Model columns are display positions: a moved column moves its
        // header text, not its section.
        const int section = header->logicalIndex(p);
        const bool hidden = section < 0 || header->isSectionHidden(section);
        source.columns[i].width = hidden ? 0 : header->sectionSize(section);
        source.columns[i].field = model.FieldAtPosition(section < 0 ? p : section);
        source.columns[i].alignment = Qt::AlignLeft;
        source.headings[i] = model.HeaderText(section < 0 ? p : section);
        QVariant align = model.headerData(section, Qt::Horizontal, Qt::TextAlignmentRole);
        source.headingAlignments[i] =
            align.isValid() ? Qt::Alignment(align.toInt()) : header->defaultAlignment();
    }
    source.screenFont = view.font();
    source.screenRowHeight = view.RowHeight();
    source.screenDpiY = view.logicalDpiY();
    return source;
}

CListPrinter::CListPrinter(PrintSource source)
    : m_source(std::move(source)), m_clock(&CListPrinter::LocalDateTimeText) {}

QString CListPrinter::LocalDateTimeText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) {
        return QString();
    }
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%c", &local);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(length));
}

void CListPrinter::Begin(const QPaintDevice& device) {
    ScreenMeasures screen;
    screen.charWidth = QFontMetrics(m_source.screenFont).averageCharWidth();
    screen.rowHeight = m_source.screenRowHeight;
    screen.dpiY = m_source.screenDpiY;
    for (const addresslist::CellColumn& column : m_source.columns) {
        screen.rowWidth += std::max(column.width, 0);
    }
    PrinterMeasures printer;
    printer.dpiY = device.logicalDpiY();
    printer.pixelsWide = device.width();
    printer.pixelsHigh = device.height();
    const int rowCount = m_source.rows != nullptr ? m_source.rows->RowCount() : 0;
    m_metrics = ComputePageMetrics(screen, printer, rowCount);

    int screenEdge = 0;
    int pageEdge = 0;
    for (std::size_t i = 0; i < m_pageColumns.size(); ++i) {
        screenEdge += std::max(m_source.columns[i].width, 0);
        const int nextEdge = m_metrics.Scale(screenEdge);
        m_pageColumns[i] = m_source.columns[i];
        m_pageColumns[i].width = nextEdge - pageEdge;
        pageEdge = nextEdge;
    }

    // A serif face stands in for the printed list's Times New Roman.
    m_font = QFont(QStringLiteral("Times New Roman"));
    m_font.setStyleHint(QFont::Serif);
    m_font.setPixelSize(m_metrics.fontHeight);
    m_font.setWeight(QFont::Normal);
    m_boldFont = m_font;
    m_boldFont.setWeight(QFont::Bold);
}

void CListPrinter::PrintPage(QPainter& painter, int page) const {
    const PageMetrics& m = m_metrics;
    const int rowCount = m_source.rows != nullptr ? m_source.rows->RowCount() : 0;
    painter.save();
    painter.setWindow(0, 0, m.pageWidth, m.pageHeight);
    painter.setViewport(0, 0, painter.device()->width(),
                        MulDiv(painter.device()->width(), m.pageHeight, m.pageWidth));
    painter.setFont(m_font);
    QPen pen(Qt::black);
    pen.setWidth(m.lineWidth);
    painter.setPen(pen);

    // A left margin of four character widths.
    painter.save();
    painter.translate(4 * m.charWidth, 0);
    PaintHeader(painter);

    // Two rows of header and one blank row.
    painter.translate(0, 3 * m.rowHeight);
    PaintHeadings(painter);

    // Paper is white whatever the desktop's colours: black text, every
    // second row on a light-grey band.
    const addresslist::RowPainter plainRows(m_font, PaperPalette(kPaperWhite));
    const addresslist::RowPainter bandedRows(m_font, PaperPalette(kPaperBand));
    int rowWidth = 0;
    for (const addresslist::CellColumn& column : m_pageColumns) {
        rowWidth += column.width;
    }
    const int first = m.FirstRow(page, rowCount);
    const int end = m.EndRow(page, rowCount);
    for (int row = first; row < end; ++row) {
        const int k = row - first;
        const QRect band(0, (k + 1) * m.rowHeight, rowWidth, m.rowHeight);
        const addresslist::RowPainter& rowPainter = k % 2 == 0 ? plainRows : bandedRows;
        rowPainter.PaintRow(painter, band, &m_source.rows->EntryAt(row), false, false,
                            m_pageColumns);
    }

    // The footer's two rows sit at the bottom of the page.
    painter.restore();
    painter.translate(4 * m.charWidth, m.pageHeight - 2 * m.rowHeight);
    PaintFooter(painter, page);
    painter.restore();
}

void CListPrinter::PaintHeader(QPainter& painter) const {
    const PageMetrics& m = m_metrics;
    const QRect rect(0, 0, m.pageWidth - 8 * m.charWidth, 2 * m.rowHeight);
    painter.save();
    painter.setFont(m_boldFont);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     platform::ResourceString(resources::kStrAppTitle));
    painter.restore();
    painter.drawLine(rect.left(), rect.top() + rect.height(), rect.left() + rect.width(),
                     rect.top() + rect.height());
}

void CListPrinter::PaintHeadings(QPainter& painter) const {
    const PageMetrics& m = m_metrics;
    const int blank = QFontMetrics(m_font).horizontalAdvance(QLatin1Char(' '));
    int right = 0;
    for (std::size_t i = 0; i < m_pageColumns.size(); ++i) {
        const int left = right;
        right = left + m_pageColumns[i].width;
        const QRect cell(left + blank, 0, right - left - 2 * blank, m.rowHeight);
        if (cell.width() <= 0 || m_source.headings[i].isEmpty()) {
            continue;  // hidden and very narrow columns show no heading
        }
        const Qt::Alignment horizontal =
            m_source.headingAlignments[i] & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter);
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        painter.drawText(cell, static_cast<int>(horizontal | Qt::AlignVCenter) | Qt::TextSingleLine,
                         m_source.headings[i]);
        painter.restore();
    }
    painter.save();
    QPen pen(Qt::black);
    pen.setWidth(m.lineWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(0, 0, right + 1, m.rowHeight + 1));
    painter.restore();
}

void CListPrinter::PaintFooter(QPainter& painter, int page) const {
    const PageMetrics& m = m_metrics;
    QRect rect(0, 0, m.pageWidth - 8 * m.charWidth, 2 * m.rowHeight);
    painter.drawLine(rect.left(), rect.top(), rect.left() + rect.width(), rect.top());
    rect.translate(0, m.rowHeight / 2);
    painter.save();
    painter.setFont(m_boldFont);
    painter.setBackgroundMode(Qt::TransparentMode);
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    painter.drawText(rect, Qt::AlignLeft | flags, PageText(page, m.pageCount));
    painter.drawText(rect, Qt::AlignRight | flags, m_clock ? m_clock() : QString());
    painter.restore();
}

PageRange PagesToPrint(int fromPage, int toPage, int pageCount) {
    PageRange range{1, pageCount};
    if (fromPage > 0) {
        range.first = fromPage;
        range.last = toPage > 0 ? std::min(toPage, pageCount) : pageCount;
    }
    return range;
}

PrintResult CListPrinter::PrintAll(QPrinter& printer) {
    Begin(printer);
    const bool chosen = printer.printRange() == QPrinter::PageRange;
    const PageRange range =
        PagesToPrint(chosen ? printer.fromPage() : 0, chosen ? printer.toPage() : 0, PageCount());
    if (range.IsEmpty()) {
        return PrintResult::kNoPagesInRange;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return PrintResult::kFailed;
    }
    for (int page = range.first; page <= range.last; ++page) {
        if (page > range.first && !printer.newPage()) {
            painter.end();
            return PrintResult::kFailed;
        }
        PrintPage(painter, page);
    }
    return painter.end() ? PrintResult::kPrinted : PrintResult::kFailed;
}

}  // namespace print
