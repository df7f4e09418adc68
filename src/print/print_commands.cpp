#include "print/print_commands.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "addresslist/address_list_view.h"
#include "platform/command_router.h"
#include "platform/dialogs.h"
#include "print/list_printer.h"
#include "resources/command_ids.h"

namespace print {

namespace {

void SetError(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

void ReportPrintError(QWidget* parent, const QString& text) {
    platform::MessageRequest request;
    request.text = text;
    request.icon = platform::MessageIcon::kError;
    platform::Dialogs().ShowMessage(parent, request);
}

}  // namespace

bool QtPrintUi::RunPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

void QtPrintUi::RunPreview(QPrinter& printer, QWidget* parent,
                           const std::function<void(QPrinter*)>& paint) {
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* target) { paint(target); });
    preview.exec();
}

bool PrintView(const addresslist::CQX32View& view, QPrinter& printer, QString* error) {
    if (!printer.isValid()) {
        SetError(error,
                 QStringLiteral("The printer %1 is not available.").arg(printer.printerName()));
        return false;
    }
    CListPrinter job(PrintSourceFromView(view));
    if (!job.PrintAll(printer)) {
        SetError(error, printer.outputFormat() == QPrinter::PdfFormat
                            ? QStringLiteral("Cannot write %1.").arg(printer.outputFileName())
                            : QStringLiteral("Printing to %1 failed.").arg(printer.printerName()));
        return false;
    }
    return true;
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
    return PrintView(view, printer, error);
}

bool PrintViewToPdf(const addresslist::CQX32View& view, const QString& path, QString* error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(view.window()->windowTitle());
    return PrintView(view, printer, error);
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
    if (!PrintView(m_view, printer, &error)) {
        ReportPrintError(m_view.window(), error);
    }
}

void CPrintCommands::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    PrepareDefaultPrinter(printer);
    if (!m_ui.RunPrintDialog(printer, m_view.window())) {
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
