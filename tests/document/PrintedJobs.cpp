#include "document/PrintedJobs.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cups/cups.h>

namespace {

int ActiveJobCount()
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ACTIVE);
    cupsFreeJobs(count, jobs);
    return count;
}

// Runs a tool to its end; true when it exited normally with code 0.
bool RunTool(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
                    && process.exitCode() == 0;
    if (output)
        *output = ok ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
    return ok;
}

QString Run(const QString& program, const QStringList& arguments)
{
    QString output;
    RunTool(program, arguments, &output);
    return output;
}

} // namespace

bool WaitForPrintServerIdle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (ActiveJobCount() > 0) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(100);
    }
    return true;
}

QList<PrintedJob> PrintedJobs()
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    QList<PrintedJob> result;
    for (int i = 0; i < count; ++i)
        result.append({jobs[i].id, QString::fromUtf8(jobs[i].dest), QString::fromUtf8(jobs[i].title)});
    cupsFreeJobs(count, jobs);
    std::sort(result.begin(), result.end(), [](const PrintedJob& a, const PrintedJob& b) { return a.id < b.id; });
    return result;
}

QString PdfFolder(const QString& printer)
{
    return qEnvironmentVariable("TESSERINE_PDF_ROOT") + QLatin1Char('/') + printer;
}

QStringList PdfFiles(const QString& printer)
{
    return QDir(PdfFolder(printer)).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

PrintedPdf WaitForNewPdf(const QString& printer, const QStringList& before, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QString name;
    while (name.isEmpty() && !deadline.hasExpired()) {
        // The backend writes the file while the job runs; it is whole once the job is done.
        if (WaitForPrintServerIdle(static_cast<int>(deadline.remainingTime()))) {
            for (const QString& file : PdfFiles(printer))
                if (!before.contains(file))
                    name = file;
        }
        if (name.isEmpty())
            QTest::qWait(100);
    }
    if (name.isEmpty())
        return PrintedPdf();
    return ReadPdf(PdfFolder(printer) + QLatin1Char('/') + name);
}

PrintedPdf ReadPdf(const QString& path)
{
    PrintedPdf pdf;
    if (!QFileInfo(path).isReadable())
        return pdf;
    pdf.path = path;
    pdf.text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf.path, QStringLiteral("-")});
    const QString info = Run(QStringLiteral("pdfinfo"), {pdf.path});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"),
                                                             QRegularExpression::MultilineOption).match(info);
    pdf.pages = pages.hasMatch() ? pages.captured(1).toInt() : 0;
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("^Page size:\\s+(.+)$"),
                                                            QRegularExpression::MultilineOption).match(info);
    pdf.pageSize = size.hasMatch() ? size.captured(1).trimmed() : QString();
    return pdf;
}

PrintedPdf JobDocument(int jobId)
{
    return ReadPdf(QStringLiteral("%1/d%2-001").arg(qEnvironmentVariable("TESSERINE_CUPS_SPOOL"))
                       .arg(jobId, 5, 10, QLatin1Char('0')));
}

bool RunPrintTool(const QString& tool, const QStringList& arguments)
{
    return RunTool(tool, arguments);
}
