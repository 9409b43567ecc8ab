#pragma once
// The one current printer of the program: the print and printer-setup dialogs choose
// it, and printing uses it. It starts as the print system's default printer.
#include <QPrinter>

class QTextDocument;
#include <QStringList>
#include <stdexcept>

// A print job that could not be started or was refused; the text says why.
class EPrintError : public std::runtime_error {
public:
    explicit EPrintError(const QString& message);
};

QPrinter& CurrentPrinter();

// The print queues the print system offers, in its order, and its default one (empty
// when there is none).
QStringList InstalledPrinters();
QString DefaultPrinterName();

// Points the current printer at the default installed printer when it has none that is
// still installed and is not printing to a file. Does nothing without printers.
void RefreshCurrentPrinter();

// Makes sure the current printer can take a job: a file chosen in the print dialog, or
// an installed printer. A printer that has gone away is replaced by the default one.
// Throws EPrintError when there is nowhere to print.
void PrepareCurrentPrinterForJob();

// Prints the content of document on printer, laid out on a copy for the printer's pages
// with 2 cm round the text: the text only, with no page numbers or headers of its own.
void PrintDocumentContent(const QTextDocument& document, QPrinter& printer);

// Throws EPrintError when the job just painted on the current printer did not reach
// the printer or its file.
void CheckCurrentPrinterJobDelivered();

// The print dialog's choices that belong to one job, a page range and printing to a
// file, last only for the job the dialog starts; printer, paper and orientation stay.
// The dialog calls the first when it is confirmed, with the printer it started on;
// every print job calls the second when it ends, however it ends.
void KeepDialogChoicesForOneJob(const QString& printerBeforeDialog);
void EndCurrentPrinterJob();
