// Pages written to PDF files and read back with pdftotext and pdfinfo.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "addressbook/book_file.h"
#include "addressbook/vector_address_list.h"
#include "addresslist/address_list_view.h"
#include "clausedb/expr_database.h"
#include "platform/command_router.h"
#include "platform/test_dialogs.h"
#include "print/list_printer.h"
#include "print/print_commands.h"
#include "resources/command_ids.h"
#include "settings/settings_store.h"

namespace print {
namespace {

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPageCount(const QString& pdf) {
    QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    QRegularExpressionMatch match = pages.match(Run("pdfinfo", {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text of one page (1-based).
QString PdfPageText(const QString& pdf, int page) {
    return Run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
}

std::unique_ptr<addressbook::CAddressEntry> Entry(int i) {
    auto entry = std::make_unique<addressbook::CAddressEntry>();
    entry->SetField(0, "Row" + std::to_string(1000 + i));
    entry->SetField(1, "Ann");
    return entry;
}

class ListPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_settings =
            std::make_unique<settings::SettingsStore>(m_dir.filePath("test.INI").toStdString());
        m_view = std::make_unique<addresslist::CQX32View>(*m_settings);
        m_view->resize(800, 400);
    }

    void AddRows(int count) {
        const int first = m_view->Model().RowCount();
        for (int i = first; i < first + count; ++i) {
            ASSERT_TRUE(m_view->Model().AppendEntry(Entry(i)));
        }
    }

    // Rows per page of the PDF pages that PrintViewToPdf writes.
    int RowsPerPdfPage() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_dir.filePath("probe.pdf"));
        CListPrinter job(PrintSourceFromView(*m_view));
        job.Begin(printer);
        return job.Metrics().rowsPerPage;
    }

    QString Pdf() const { return m_dir.filePath("out.pdf"); }

    QTemporaryDir m_dir;
    std::unique_ptr<settings::SettingsStore> m_settings;
    std::unique_ptr<addresslist::CQX32View> m_view;
};

TEST_F(ListPrinterTest, PdfPagesAndFooters) {
    const int n = RowsPerPdfPage();
    ASSERT_GE(n, 8);
    struct Case {
        int rows;
        int pages;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {n, 1}, {n + 1, 2}};
    int added = 0;
    for (const Case& c : cases) {
        AddRows(c.rows - added);
        added = c.rows;
        QString error;
        ASSERT_TRUE(PrintViewToPdf(*m_view, Pdf(), &error)) << error.toStdString();
        ASSERT_EQ(PdfPageCount(Pdf()), c.pages) << c.rows << " rows";
        for (int page = 1; page <= c.pages; ++page) {
            const QString text = PdfPageText(Pdf(), page);
            EXPECT_TRUE(text.contains(QStringLiteral("Page %1 of %2").arg(page).arg(c.pages)))
                << c.rows << " rows, page " << page << ":\n"
                << text.toStdString();
            EXPECT_TRUE(text.contains("Quillbox")) << c.rows << " rows, page " << page;
            EXPECT_TRUE(text.contains("Last Name")) << c.rows << " rows, page " << page;
        }
        if (c.rows == n + 1) {
            // Page 2 begins with row n, under the heading band again.
            EXPECT_TRUE(PdfPageText(Pdf(), 1).contains(QString("Row%1").arg(1000 + n - 1)));
            EXPECT_FALSE(PdfPageText(Pdf(), 1).contains(QString("Row%1").arg(1000 + n)));
            EXPECT_TRUE(PdfPageText(Pdf(), 2).contains(QString("Row%1").arg(1000 + n)));
        }
    }
}

TEST_F(ListPrinterTest, RowsFollowTheColumnsOnPaper) {
    AddRows(1);
    m_view->Model().MutableEntryAt(0).SetField(
        1, "A given name much too long to show whole in its narrow column on paper");
    m_view->header()->resizeSection(0, 0);  // hidden: Last Name takes no room
    ASSERT_TRUE(PrintViewToPdf(*m_view, Pdf()));
    const QString text = PdfPageText(Pdf(), 1);
    EXPECT_FALSE(text.contains("Row1000"));
    EXPECT_FALSE(text.contains("Last Name"));
    EXPECT_TRUE(text.contains("First Name"));
    EXPECT_TRUE(text.contains("A given name")) << text.toStdString();
    EXPECT_TRUE(text.contains("...")) << text.toStdString();
    EXPECT_FALSE(text.contains("on paper"));
}

TEST_F(ListPrinterTest, UnwritablePdfFails) {
    QString error;
    EXPECT_FALSE(PrintViewToPdf(*m_view, m_dir.filePath("missing/folder/out.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

// The most frequent colour in `rect` of `image`, and the darkest one.
struct AreaColours {
    QColor common;
    QColor darkest;
};
AreaColours ColoursIn(const QImage& image, const QRect& rect) {
    std::map<QRgb, int> counts;
    QColor darkest(255, 255, 255);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            ++counts[colour.rgb()];
            if (colour.lightness() < darkest.lightness()) {
                darkest = colour;
            }
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    return {most == counts.end() ? QColor() : QColor::fromRgb(most->first), darkest};
}

// A dark desktop theme must not reach the paper: rows print black on white,
// every second one on a light-grey band.
TEST_F(ListPrinterTest, RowsPrintBlackOnWhiteWhateverTheTheme) {
    AddRows(4);
    const QPalette previous = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QApplication::setPalette(dark);

    QImage page(2400, 3400, QImage::Format_RGB32);
    page.fill(Qt::white);
    CListPrinter job(PrintSourceFromView(*m_view));
    job.Begin(page);
    {
        QPainter painter(&page);
        job.PrintPage(painter, 1);
    }
    QApplication::setPalette(previous);

    const PageMetrics& m = job.Metrics();
    const double scale = static_cast<double>(page.width()) / m.pageWidth;
    int rowWidth = 0;
    for (const addresslist::CellColumn& column : job.PageColumns()) {
        rowWidth += column.width;
    }
    const QColor expected[] = {kPaperWhite, kPaperBand, kPaperWhite, kPaperBand};
    for (int k = 0; k < 4; ++k) {
        // Row k lies under the header (2 rows), the gap and the headings.
        const int top = qRound((4 + k) * m.rowHeight * scale) + 1;
        const int bottom = qRound((5 + k) * m.rowHeight * scale) - 2;
        const int left = qRound(4 * m.charWidth * scale) + 1;
        const int right = qRound((4 * m.charWidth + rowWidth) * scale) - 2;
        const AreaColours colours =
            ColoursIn(page, QRect(QPoint(left, top), QPoint(right, bottom)));
        EXPECT_EQ(colours.common, expected[k]) << "row " << k;
        EXPECT_LT(colours.darkest.lightness(), colours.common.lightness() - 100)
            << "row " << k << ": the text is not dark on its band";
    }
}

// Answers the print dialog and records the preview without showing them.
class TestPrintUi final : public IPrintUi {
public:
    bool answer = true;
    int dialogs = 0;
    int previewPages = -1;
    QString proposedFile;                   // the printer's output file when the dialog opened
    std::function<void(QPrinter&)> choose;  // the user's choices in the dialog

    bool offeredSelection = false;

    bool RunPrintDialog(QPrinter& printer, QWidget*, bool offerSelection) override {
        ++dialogs;
        offeredSelection = offerSelection;
        proposedFile = printer.outputFileName();
        if (choose) {
            choose(printer);
        }
        return answer;
    }
    void RunPreview(QPrinter& printer, QWidget*,
                    const std::function<void(QPrinter*)>& paint) override {
        paint(&printer);
        previewPages = PdfPageCount(printer.outputFileName());
    }
};

// The print commands over three rows, answered through the print-dialog
// seam, their pages going to Pdf().
class PrintCommandsTest : public ListPrinterTest {
protected:
    void SetUp() override {
        ListPrinterTest::SetUp();
        AddRows(3);
        m_commands = std::make_unique<CPrintCommands>(*m_view, &m_ui);
        m_commands->Register(m_view->Commands());
        m_commands->SetPrinterSetup([this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(Pdf());
        });
    }

    platform::TestDialogs m_dialogs;
    platform::ScopedDialogs m_scoped{m_dialogs};
    TestPrintUi m_ui;
    std::unique_ptr<CPrintCommands> m_commands;
};

TEST_F(PrintCommandsTest, PrintCommands) {
    struct Case {
        int command;
        bool answer;
        int dialogs;
        bool written;
    };
    const Case cases[] = {
        {resources::kCmdFilePrint, false, 1, false},  // cancelled in the dialog
        {resources::kCmdFilePrint, true, 1, true},
        {resources::kCmdFilePrintDirect, true, 0, true},
        {resources::kCmdFilePrintPreview, true, 0, true},
    };
    for (const Case& c : cases) {
        QFile::remove(Pdf());
        m_ui.answer = c.answer;
        m_ui.dialogs = 0;
        EXPECT_TRUE(m_view->RunCommand(c.command)) << c.command;
        EXPECT_EQ(m_ui.dialogs, c.dialogs) << c.command;
        EXPECT_EQ(QFile::exists(Pdf()), c.written) << c.command;
    }
    EXPECT_EQ(m_ui.previewPages, 1);
    EXPECT_TRUE(m_dialogs.Messages().empty());
}

TEST_F(ListPrinterTest, PageRangeIsCutToThePagesThatExist) {
    struct Case {
        int from;
        int to;
        int pages;
        PageRange expected;
    };
    const Case cases[] = {
        {0, 0, 3, {1, 3}},  // no range chosen
        {2, 3, 3, {2, 3}}, {2, 9, 3, {2, 3}},
        {3, 3, 3, {3, 3}}, {4, 7, 3, {4, 3}},  // past the last page: empty
        {1, 0, 1, {1, 1}},
    };
    for (const Case& c : cases) {
        const PageRange range = PagesToPrint(c.from, c.to, c.pages);
        EXPECT_EQ(range.first, c.expected.first) << c.from << "-" << c.to;
        EXPECT_EQ(range.last, c.expected.last) << c.from << "-" << c.to;
    }
    EXPECT_TRUE(PagesToPrint(4, 7, 3).IsEmpty());
    EXPECT_FALSE(PagesToPrint(3, 7, 3).IsEmpty());
}

// A range that starts past the last page prints nothing and says so, as a
// warning rather than a failure; a range that runs past it prints what exists.
TEST_F(PrintCommandsTest, PrintDialogRangePastTheLastPage) {
    struct Case {
        int from;
        int to;
        bool written;
        const char* message;  // empty: none
    };
    const Case cases[] = {
        {1, 9, true, ""},
        {2, 5, false, "Pages 2 to 5 were chosen, but the address list prints on 1 page."},
        {4, 4, false, "Page 4 was chosen, but the address list prints on 1 page."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        QFile::remove(Pdf());
        m_dialogs.Clear();
        m_ui.choose = [&c](QPrinter& printer) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(c.from, c.to);
        };
        EXPECT_TRUE(m_view->RunCommand(resources::kCmdFilePrint));
        EXPECT_EQ(QFile::exists(Pdf()), c.written);
        if (*c.message == '\0') {
            EXPECT_TRUE(m_dialogs.Messages().empty());
        } else {
            ASSERT_EQ(m_dialogs.Messages().size(), 1u);
            EXPECT_EQ(m_dialogs.Messages()[0].text, c.message);
            EXPECT_EQ(m_dialogs.Messages()[0].icon, platform::MessageIcon::kWarning);
        }
    }
}

// With several rows selected the print dialog offers the selection, and
// choosing it prints those rows alone.
TEST_F(PrintCommandsTest, PrintTheSelectedRowsOnly) {
    struct Case {
        std::vector<int> select;
        bool chooseSelection;
        bool offered;
        std::vector<bool> printed;  // rows 0, 1, 2
    };
    const Case cases[] = {
        {{1}, false, false, {true, true, true}},
        {{0, 2}, false, true, {true, true, true}},
        {{2, 0}, true, true, {true, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.select.size());
        QFile::remove(Pdf());
        m_view->SelectRows(c.select, c.select.front());
        m_ui.choose = [&c](QPrinter& printer) {
            EXPECT_EQ(printer.printRange(), QPrinter::AllPages);
            if (c.chooseSelection) {
                printer.setPrintRange(QPrinter::Selection);
            }
        };
        EXPECT_TRUE(m_view->RunCommand(resources::kCmdFilePrint));
        EXPECT_EQ(m_ui.offeredSelection, c.offered);
        const QString text = PdfPageText(Pdf(), 1);
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(text.contains(QStringLiteral("Row%1").arg(1000 + row)),
                      c.printed[static_cast<std::size_t>(row)])
                << row;
        }
        EXPECT_TRUE(text.contains("Page 1 of 1"));
    }
}

// Print to a PDF file proposes the book's own name in the book's folder.
TEST_F(ListPrinterTest, PrintDialogProposesThePdfBesideTheBook) {
    AddRows(1);
    TestPrintUi ui;
    ui.answer = false;
    CPrintCommands commands(*m_view, &ui);
    commands.Register(m_view->Commands());
    struct Case {
        QString book;
        QString proposed;
    };
    const Case cases[] = {
        {"/home/ann/book.qxd", "/home/ann/book.pdf"},
        {"/home/ann/my.friends.QXD", "/home/ann/my.friends.pdf"},
        {"/srv/books [old]/b.qxd", "/srv/books [old]/b.pdf"},
        {"", QDir::home().filePath("Untitled.pdf")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProposedPdfPath(c.book), c.proposed);
        commands.SetBookPath([&c] { return c.book; });
        EXPECT_TRUE(m_view->RunCommand(resources::kCmdFilePrint));
        EXPECT_EQ(ui.proposedFile, c.proposed);
    }
}

#ifdef QUILLBOX_EXE
TEST_F(ListPrinterTest, CommandLinePdfWritesEveryPageWithoutAWindow) {
    const int n = RowsPerPdfPage();
    addressbook::VectorAddressList list;
    for (int i = 0; i < 2 * n + 1; ++i) {
        list.AppendEntry(Entry(i));
    }
    clausedb::CExprDatabase db;
    const QString book = m_dir.filePath("book.qxd");
    ASSERT_TRUE(addressbook::SaveBook(list, db, QFile::encodeName(book).toStdString()));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLBOX_INI", m_dir.filePath("cli.INI"));
    env.insert("XDG_DATA_HOME", m_dir.filePath("data"));
    program.setProcessEnvironment(env);
    program.start(QUILLBOX_EXE, {"--pdf", Pdf(), book});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    ASSERT_EQ(PdfPageCount(Pdf()), 3);
    EXPECT_TRUE(PdfPageText(Pdf(), 3).contains("Page 3 of 3"));
    EXPECT_TRUE(PdfPageText(Pdf(), 3).contains(QString("Row%1").arg(1000 + 2 * n)));

    // A missing book or a clash of options ends with an error and no file.
    QFile::remove(Pdf());
    program.start(QUILLBOX_EXE, {"--pdf", Pdf(), m_dir.filePath("none.qxd")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_NE(program.exitCode(), 0);
    program.start(QUILLBOX_EXE, {"--pdf", Pdf(), "--print", book});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_FALSE(QFile::exists(Pdf()));
}
#endif

}  // namespace
}  // namespace print
