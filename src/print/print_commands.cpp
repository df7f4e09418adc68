#include "print/print_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <optional>

#include "addressbook/row_subset_list.h"
#include "addresslist/address_list_view.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "platform/string_resource.h"
#include "print/list_printer.h"
#include "resources/command_ids.h"
#include "resources/string_table.h"

namespace print {

namespace {

void SetError(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

void ReportPrintError(QWidget* parent, const QString& text,
                      platform::MessageIcon icon = platform::MessageIcon::kError) {
    platform::MessageRequest request;
    request.text = text;
    request.icon = icon;
    platform::Dialogs().ShowMessage(parent, request);
}

}  // namespace

bool QtPrintUi::RunPrintDialog(QPrinter& printer, QWidget* parent, bool offerSelection) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offerSelection);
    return dialog.exec() == QDialog::Accepted;
}

void QtPrintUi::RunPreview(QPrinter& printer, QWidget* parent,
                           const std::function<void(QPrinter*)>& paint) {
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* target) { paint(target); });
    preview.exec();
}

QString NoPagesInRangeText(int fromPage, int toPage, int pageCount) {
    const QString chosen = fromPage == toPage || toPage <= 0
                               ? QStringLiteral("Page %1 was").arg(fromPage)
                               : QStringLiteral("Pages %1 to %2 were").arg(fromPage).arg(toPage);
    const QString pages =
        pageCount == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(pageCount);
    return QStringLiteral("%1 chosen, but the address list prints on %2.").arg(chosen, pages);
}

PrintResult PrintView(const addresslist::CQX32View& view, QPrinter& printer, QString* error) {
    if (!printer.isValid()) {
        SetError(error,
                 QStringLiteral("The printer %1 is not available.").arg(printer.printerName()));
        return PrintResult::kFailed;
    }
    PrintSource source = PrintSourceFromView(view);
    std::optional<addressbook::RowSubsetList> selected;
    if (printer.printRange() == QPrinter::Selection) {
        selected.emplace(view.Model(), view.SelectedRows());
        source.rows = &*selected;
    }
    CListPrinter job(std::move(source));
    const PrintResult result = job.PrintAll(printer);
    if (result == PrintResult::kNoPagesInRange) {
        SetError(error, NoPagesInRangeText(printer.fromPage(), printer.toPage(), job.PageCount()));
    } else if (result == PrintResult::kFailed) {
        SetError(error, printer.outputFormat() == QPrinter::PdfFormat
                            ? QStringLiteral("Cannot write %1.").arg(printer.outputFileName())
                            : QStringLiteral("Printing to %1 failed.").arg(printer.printerName()));
    }
    return result;
}

QString ProposedPdfPath(const QString& bookPath) {
    if (bookPath.isEmpty()) {
        return QDir(QDir::homePath())
            .filePath(platform::ResourceString(resources::kStrUntitled) + QStringLiteral(".pdf"));
    }
    const QFileInfo book(bookPath);
    return book.absoluteDir().filePath(book.completeBaseName() + QStringLiteral(".pdf"));
}

bool PrintViewToPrinter(const addresslist::CQX32View& view, const QString& printerName,
                        QString* error) {
    QPrinterInfo info = printerName.isEmpty() ? QPrinterInfo::defaultPrinter()
                                              : QPrinterInfo::printerInfo(printerName);
    if (info.isNull()) {
        SetError(error, printerName.isEmpty()
                            ? QStringLiteral("No default printer is set up.")
                            : QStringLiteral("There is no printer named %1.").arg(printerName));
        return false;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(view.window()->windowTitle());
    return PrintView(view, printer, error) == PrintResult::kPrinted;
}

bool PrintViewToPdf(const addresslist::CQX32View& view, const QString& path, QString* error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(view.window()->windowTitle());
    return PrintView(view, printer, error) == PrintResult::kPrinted;
}

CPrintCommands::CPrintCommands(addresslist::CQX32View& view, IPrintUi* ui)
    : m_view(view), m_ui(ui != nullptr ? *ui : static_cast<IPrintUi&>(m_qtUi)) {}

void CPrintCommands::Register(platform::CommandTarget& target) {
    target.OnCommand(resources::kCmdFilePrint, [this] { OnFilePrint(); });
    target.OnCommand(resources::kCmdFilePrintDirect, [this] { OnFilePrintDirect(); });
    target.OnCommand(resources::kCmdFilePrintPreview, [this] { OnFilePrintPreview(); });
}

void CPrintCommands::PrepareDefaultPrinter(QPrinter& printer) const {
    printer.setDocName(m_view.window()->windowTitle());
    if (m_setup) {
        m_setup(printer);
    }
}

void CPrintCommands::Print(QPrinter& printer) {
    QString error;
    switch (PrintView(m_view, printer, &error)) {
        case PrintResult::kPrinted:
            break;
        case PrintResult::kNoPagesInRange:
            // Nothing went wrong: the choice held no page.
            ReportPrintError(m_view.window(), error, platform::MessageIcon::kWarning);
            break;
        case PrintResult::kFailed:
            ReportPrintError(m_view.window(), error);
            break;
    }
}

void CPrintCommands::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    PrepareDefaultPrinter(printer);
    // Left to itself the dialog would make the file name from the document
    // name, the window title with its brackets and slashes.
    if (printer.outputFileName().isEmpty()) {
        const QString pdf = ProposedPdfPath(m_bookPath ? m_bookPath() : QString());
        const bool toPrinter = printer.outputFormat() == QPrinter::NativeFormat;
        printer.setOutputFileName(pdf);
        if (toPrinter) {
            // The name switched the printer to PDF output; the default
            // printer stays the dialog's first choice.
            printer.setOutputFormat(QPrinter::NativeFormat);
        }
    }
    // Only the dialog sets the selection range, and only when it is offered.
    printer.setPrintRange(QPrinter::AllPages);
    const bool offerSelection = m_view.SelectedRows().size() > 1;
    if (!m_ui.RunPrintDialog(printer, m_view.window(), offerSelection)) {
        return;
    }
    Print(printer);
}

void CPrintCommands::OnFilePrintDirect() {
    QPrinter printer(QPrinter::HighResolution);
    PrepareDefaultPrinter(printer);
    if (!m_setup && QPrinterInfo::defaultPrinter().isNull()) {
        ReportPrintError(m_view.window(), QStringLiteral("No default printer is set up."));
        return;
    }
    Print(printer);
}

void CPrintCommands::OnFilePrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    PrepareDefaultPrinter(printer);
    m_ui.RunPreview(printer, m_view.window(), [this](QPrinter* target) {
        if (target != nullptr) {
            CListPrinter job(PrintSourceFromView(m_view));
            job.PrintAll(*target);
        }
    });
}

}  // namespace print
