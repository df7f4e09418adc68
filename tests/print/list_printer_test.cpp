// Pages written to PDF files and read back with pdftotext and pdfinfo.
#include <gtest/gtest.h>

#include <QFile>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>
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

// Answers the print dialog and records the preview without showing them.
class TestPrintUi final : public IPrintUi {
public:
    bool answer = true;
    int dialogs = 0;
    int previewPages = -1;

    bool RunPrintDialog(QPrinter&, QWidget*) override {
        ++dialogs;
        return answer;
    }
    void RunPreview(QPrinter& printer, QWidget*,
                    const std::function<void(QPrinter*)>& paint) override {
        paint(&printer);
        previewPages = PdfPageCount(printer.outputFileName());
    }
};

TEST_F(ListPrinterTest, PrintCommands) {
    AddRows(3);
    platform::TestDialogs dialogs;
    platform::ScopedDialogs scoped(dialogs);
    TestPrintUi ui;
    CPrintCommands commands(*m_view, &ui);
    commands.Register(m_view->Commands());
    commands.SetPrinterSetup([this](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Pdf());
    });
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
        ui.answer = c.answer;
        ui.dialogs = 0;
        EXPECT_TRUE(m_view->RunCommand(c.command)) << c.command;
        EXPECT_EQ(ui.dialogs, c.dialogs) << c.command;
        EXPECT_EQ(QFile::exists(Pdf()), c.written) << c.command;
    }
    EXPECT_EQ(ui.previewPages, 1);
    EXPECT_TRUE(dialogs.Messages().empty());
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
