// The printing commands of the address list: Print (kCmdFilePrint, Ctrl+P,
// with the print dialog, which offers the Selection range while more than
// one row is selected), Print direct (kCmdFilePrintDirect, the default
// printer without a dialog) and Print Preview (kCmdFilePrintPreview); and
// printing a list to a named printer or to a PDF file without any window,
// for the command line.
#pragma once

#include <QString>

#include <functional>

#include "print/list_printer.h"

class QPrinter;
class QWidget;

namespace addresslist {
class CQX32View;
}
namespace platform {
class CommandTarget;
}

namespace print {

// The print dialog and the preview window, behind a seam that tests answer.
class IPrintUi {
public:
    virtual ~IPrintUi() = default;
    // True when the user chose to print (the printer then holds the choice).
    // The printer's output file name is the file proposed for printing to a
    // file; choosing a printer clears it.  With `offerSelection` the dialog
    // offers the Selection range (the printer's print range then says
    // whether it was chosen).
    virtual bool RunPrintDialog(QPrinter& printer, QWidget* parent, bool offerSelection) = 0;
    // Shows the pages that `paint` draws on the printer it is given.
    virtual void RunPreview(QPrinter& printer, QWidget* parent,
                            const std::function<void(QPrinter*)>& paint) = 0;
};

// QPrintDialog and QPrintPreviewDialog.
class QtPrintUi final : public IPrintUi {
public:
    bool RunPrintDialog(QPrinter& printer, QWidget* parent, bool offerSelection) override;
    void RunPreview(QPrinter& printer, QWidget* parent,
                    const std::function<void(QPrinter*)>& paint) override;
};

// Paints every page of `view` on `printer` (the chosen range cut to the
// pages that exist; only the selected rows when the printer's print range is
// the selection).  Unless printed, `error` (when given) receives the reason:
// that the chosen pages do not exist, or what failed.
PrintResult PrintView(const addresslist::CQX32View& view, QPrinter& printer,
                      QString* error = nullptr);
// The message for a chosen range `fromPage` to `toPage` past the last of
// `pageCount` pages.
QString NoPagesInRangeText(int fromPage, int toPage, int pageCount);

// The PDF file the print dialog proposes for the book at `bookPath`: the
// book's name with ".pdf" in the book's folder, or "Untitled.pdf" in the home
// folder for a book never saved.
QString ProposedPdfPath(const QString& bookPath);

// Prints `view` to the printer named `printerName` (the default printer
// when empty).
bool PrintViewToPrinter(const addresslist::CQX32View& view, const QString& printerName,
                        QString* error = nullptr);

// Writes the same pages as a printer would get to the PDF file `path`.
bool PrintViewToPdf(const addresslist::CQX32View& view, const QString& path,
                    QString* error = nullptr);

class CPrintCommands {
public:
    // `view` must outlive the commands; `ui` too when given (default: the
    // real dialogs).
    explicit CPrintCommands(addresslist::CQX32View& view, IPrintUi* ui = nullptr);

    void Register(platform::CommandTarget& target);

    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

    // Adjusts each new printer before use (tests send the pages to a PDF
    // file this way).
    void SetPrinterSetup(std::function<void(QPrinter&)> setup) { m_setup = std::move(setup); }
    // The path of the book on show (empty while it was never saved); the
    // print dialog proposes a PDF file named after it.
    void SetBookPath(std::function<QString()> bookPath) { m_bookPath = std::move(bookPath); }

private:
    void Print(QPrinter& printer);
    void PrepareDefaultPrinter(QPrinter& printer) const;

    addresslist::CQX32View& m_view;
    QtPrintUi m_qtUi;
    IPrintUi& m_ui;
    std::function<void(QPrinter&)> m_setup;
    std::function<QString()> m_bookPath;
};

}  // namespace print
