#include "addresslist/row_painter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "list_test_support.h"

namespace addresslist {
namespace {

using testing::TestFont;

class FitCellTextTest : public ::testing::Test {
protected:
    // The narrowest column that `text` fits in whole: it may be as wide as
    // the column less 8 pixels.
    int Fits(const QString& text) const { return m_metrics.horizontalAdvance(text) + 8; }

    QFontMetrics m_metrics{TestFont()};
};

TEST_F(FitCellTextTest, FollowsTheCellFittingRule) {
    const int fitsSmith = Fits("Smith");
    const struct {
        const char* text;
        int width;
        const char* shown;
    } cases[] = {
        {"Smith", 5, "Smit..."},  // w = 1: not measured, last character dropped
        {"", 5, "..."},
        {"A", 5, "..."},
        {"Smith", 6, "..."},  // w - 4 < 0: nothing fits
        {"", 6, "..."},
        {"Smith", 7, "..."},
        {"", 7, "..."},
        {"Smith", fitsSmith, "Smith"},
        {"Smith", fitsSmith - 1, "Smi..."},  // cut to what fits, then one more
        {"Smith", Fits("Sm"), "S..."},
        {"R&D", Fits("R&D"), "R&D"},
        {"", 9, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RowPainter::FitCellText(QString::fromUtf8(c.text), c.width, m_metrics),
                  QString::fromUtf8(c.shown))
            << c.text << " at width " << c.width;
    }
}

TEST_F(FitCellTextTest, LongTextIsCutToTheLongestPrefixThatFits) {
    const QString text(5000, QLatin1Char('n'));
    for (int chars : {1, 7, 8, 9, 100, 4999}) {
        const QString shown =
            RowPainter::FitCellText(text, Fits(QString(chars, QLatin1Char('n'))), m_metrics);
        EXPECT_EQ(shown, QString(chars - 1, QLatin1Char('n')) + "...") << chars;
    }
}

TEST_F(FitCellTextTest, NeverSplitsASurrogatePair) {
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two units
    EXPECT_EQ(RowPainter::FitCellText("ab" + face, 5, m_metrics), "ab...");
    const QString faces = face.repeated(40);
    for (int width = 9; width < 400; width += 3) {
        const QString shown = RowPainter::FitCellText(faces, width, m_metrics);
        ASSERT_TRUE(shown.endsWith("..."));
        EXPECT_EQ((shown.size() - 3) % 2, 0) << "at width " << width;
    }
}

// Paints one row into an image and reports the colours found.
class PaintRowTest : public ::testing::Test {
protected:
    PaintRowTest() {
        m_palette.setColor(QPalette::Base, Qt::white);
        m_palette.setColor(QPalette::Text, Qt::black);
        m_palette.setColor(QPalette::Highlight, QColor(0, 0, 200));
        m_palette.setColor(QPalette::HighlightedText, QColor(255, 255, 0));
        m_image.fill(Qt::gray);
    }

    void Paint(const addressbook::CAddressEntry* entry, bool selected, const RowColumns& columns) {
        QPainter painter(&m_image);
        RowPainter(TestFont(), m_palette)
            .PaintRow(painter, QRect(0, 0, 300, 20), entry, selected, false, columns);
    }

    // True when some pixel in columns [left, right) is `colour`, or (with
    // `other`) differs from it.
    bool Has(int left, int right, const QColor& colour, bool other = false) const {
        for (int x = left; x < right; ++x) {
            for (int y = 0; y < 20; ++y) {
                if ((m_image.pixelColor(x, y) == colour) != other) {
                    return true;
                }
            }
        }
        return false;
    }

    QPalette m_palette;
    QImage m_image{300, 20, QImage::Format_RGB32};
};

TEST_F(PaintRowTest, DrawsEachCellInsideItsColumn) {
    RowColumns columns;
    for (CellColumn& column : columns) {
        column.width = 0;
    }
    columns[0] = {60, 1};   // field 1 at x 0..59
    columns[1] = {40, -1};  // no label: blank, though field 1 has text
    columns[2] = {100, 0};  // field 0 at x 100..199
    const auto entry = testing::MakeEntry({{0, std::string(80, 'W')}, {1, "Jane"}});
    Paint(entry.get(), false, columns);
    EXPECT_TRUE(Has(2, 58, Qt::white, true));     // "Jane"
    EXPECT_FALSE(Has(60, 100, Qt::white, true));  // the blank column
    EXPECT_TRUE(Has(102, 198, Qt::white, true));  // the long text, cut
    // Nothing is drawn outside a cell's text rectangle.
    EXPECT_FALSE(Has(0, 2, Qt::white, true));
    EXPECT_FALSE(Has(198, 300, Qt::white, true));
}

TEST_F(PaintRowTest, SelectedRowsUseTheHighlightColours) {
    RowColumns columns;
    columns.fill({0, -1});
    columns[0] = {100, 0};
    const auto entry = testing::MakeEntry({{0, "Doe"}});
    Paint(entry.get(), true, columns);
    EXPECT_EQ(m_image.pixelColor(250, 10), QColor(0, 0, 200));
    EXPECT_TRUE(Has(2, 98, QColor(255, 255, 0)));
    // An invalid row paints only its background.
    m_image.fill(Qt::gray);
    Paint(nullptr, false, columns);
    EXPECT_FALSE(Has(0, 300, Qt::white, true));
}

}  // namespace
}  // namespace addresslist
