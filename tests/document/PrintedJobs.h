#pragma once
// What the private print server of the printing tests received: its jobs, and the PDF
// files its PDF printers wrote, read back with poppler's tools.
#include <QString>
#include <QStringList>
#include <QList>

struct PrintedJob {
    int id = 0;
    QString printer;
    QString title;
};

// Every job the server has had, oldest first, after waiting for the pending ones to
// finish (false from waitForIdle when they did not within the timeout).
bool WaitForPrintServerIdle(int timeoutMs = 120000);
QList<PrintedJob> PrintedJobs();

struct PrintedPdf {
    QString path;
    QString text;       // pdftotext's output, one form feed after each page
    int pages = 0;      // pdfinfo's page count
    QString pageSize;   // pdfinfo's "Page size", e.g. "595 x 842 pts (A4)"
};

// Reads a PDF file back; path stays empty when it cannot be read.
PrintedPdf ReadPdf(const QString& path);
// The document of a job as the server received it from the program: a PDF.
PrintedPdf JobDocument(int jobId);

// The folder that printer writes its PDF files into.
QString PdfFolder(const QString& printer);
// The PDF files of printer, sorted by name.
QStringList PdfFiles(const QString& printer);
// Waits for a PDF file of printer not in before and reads it; path stays empty when
// none appeared.
PrintedPdf WaitForNewPdf(const QString& printer, const QStringList& before, int timeoutMs = 120000);

// Runs a CUPS command-line tool (cupsreject, cupsaccept, ...) against the server.
bool RunPrintTool(const QString& tool, const QStringList& arguments);
