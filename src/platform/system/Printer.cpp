#include "platform/system/Printer.h"

#include "platform/layout/TextImageHandler.h"

#include <QAbstractTextDocumentLayout>
#include <QPrinterInfo>
#include <QTextDocument>
#include <QTextFrame>

#include <cups/cups.h>
#include <memory>
#include <optional>
#include <utility>

EPrintError::EPrintError(const QString& message)
    : std::runtime_error(message.toStdString())
{
}

QPrinter& CurrentPrinter()
{
    // Screen resolution: the document's fonts, indents and margins are in screen pixels,
    // so the printout is laid out as the screen shows it. Text and lines stay vectors.
    static QPrinter printer(QPrinter::ScreenResolution);
    return printer;
}

QStringList InstalledPrinters()
{
    return QPrinterInfo::availablePrinterNames();
}

QString DefaultPrinterName()
{
    return QPrinterInfo::defaultPrinterName();
}

namespace {

// Set while the print dialog's one-job choices are on the current printer: the
// printer to go back to when they are dropped (empty when it had none).
std::optional<QString> printerBeforeDialogChoices;

bool PrintsToFile(const QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
}

} // namespace

namespace {

// Points the current printer at an installed printer when it needs one, and returns the
// installed printers it looked at (one query of the print system).
QStringList RefreshAndListPrinters()
{
    QPrinter& printer = CurrentPrinter();
    if (PrintsToFile(printer))
        return {};
    const QStringList printers = InstalledPrinters();
    if (printers.isEmpty())
        return printers;
    if (printer.outputFormat() == QPrinter::NativeFormat && printers.contains(printer.printerName()))
        return printers;
    // Qt falls back to writing a PDF with no file name when it starts without a printer;
    // such a job would vanish, so it goes to a real printer instead.
    const QString defaultPrinter = DefaultPrinterName();
    const QString fallback = printers.contains(defaultPrinter) ? defaultPrinter : printers.first();
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName(fallback);
    return printers;
}

} // namespace

void RefreshCurrentPrinter()
{
    RefreshAndListPrinters();
}

void PrepareCurrentPrinterForJob()
{
    const QStringList printers = RefreshAndListPrinters();
    QPrinter& printer = CurrentPrinter();
    if (PrintsToFile(printer))
        return;
    if (printers.isEmpty())
        throw EPrintError(QStringLiteral(
            "No printer is installed, so the document cannot be printed. Add a printer in the "
            "system's printer settings and try again."));
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty())
        throw EPrintError(QStringLiteral("The printer \"%1\" cannot be used.").arg(DefaultPrinterName()));
}

void PrintDocumentContent(const QTextDocument& document, QPrinter& printer)
{
    // QTextDocument::print lays out a document without a page size of its own on a copy
    // and numbers its pages, which the document does not hold. A copy given the page's
    // size is printed as it is.
    QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
    if (margins.isNull()) {
        margins = QMarginsF(2, 2, 2, 2);  // keep clear of the sheet's edge
        printer.setPageMargins(margins, QPageLayout::Millimeter);
    }
    const std::unique_ptr<QTextDocument> copy(document.clone());
    QAbstractTextDocumentLayout* layout = copy->documentLayout();  // Qt's own paginated layout
    layout->setPaintDevice(&printer);
    layout->registerHandler(QTextFormat::ImageObject, new TTextImageHandler(copy.get()));
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    const qreal horizontal = int(2 / 2.54 * printer.logicalDpiX());
    const qreal vertical = int(2 / 2.54 * printer.logicalDpiY());
    frame.setLeftMargin(horizontal);
    frame.setRightMargin(horizontal);
    frame.setTopMargin(vertical);
    frame.setBottomMargin(vertical);
    copy->rootFrame()->setFrameFormat(frame);
    copy->setPageSize(QSizeF(printer.width(), printer.height()));
    copy->print(&printer);
}

void CheckCurrentPrinterJobDelivered()
{
    const QPrinter& printer = CurrentPrinter();
    if (printer.printerState() == QPrinter::Error) {
        if (PrintsToFile(printer))
            throw EPrintError(QStringLiteral("The document could not be printed to the file \"%1\".")
                                  .arg(printer.outputFileName()));
        throw EPrintError(QStringLiteral("The document could not be printed on \"%1\".")
                              .arg(printer.printerName()));
    }
    // Qt hands the finished job to CUPS in this thread and ignores the answer; CUPS keeps
    // it as the thread's last error.
    if (printer.outputFormat() == QPrinter::NativeFormat && cupsLastError() >= IPP_STATUS_REDIRECTION_OTHER_SITE)
        throw EPrintError(QStringLiteral("The printer \"%1\" did not accept the document. %2")
                              .arg(printer.printerName(), QString::fromUtf8(cupsLastErrorString())));
}

void KeepDialogChoicesForOneJob(const QString& printerBeforeDialog)
{
    printerBeforeDialogChoices = printerBeforeDialog;
}

void EndCurrentPrinterJob()
{
    if (!printerBeforeDialogChoices)
        return;
    const QString printerBefore = *std::exchange(printerBeforeDialogChoices, std::nullopt);
    QPrinter& printer = CurrentPrinter();
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    if (!printer.outputFileName().isEmpty()) {
        // Back from the file to the printer used before; without one the next job
        // finds that no printer is installed.
        printer.setOutputFileName(QString());
        if (!printerBefore.isEmpty() && InstalledPrinters().contains(printerBefore)) {
            printer.setOutputFormat(QPrinter::NativeFormat);
            printer.setPrinterName(printerBefore);
        }
    }
}
