// Figures for printing: the control's print of 100 KB, 1 MB and 10 MB mixed
// Japanese/Cyrillic/Latin documents into a PDF file on the current printer (the same
// path as a print job, without the print server). Printing blocks the window while it
// runs, so the figure to watch is how long a user waits.
#include "platform/forms/Application.h"
#include "platform/system/Printer.h"
#include "platform/richedit/RichEdit.h"
#include "MixedText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>


int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    TApplication application;
    application.Initialize();
    QTemporaryDir dir;
    TRichEdit edit(nullptr, QStringLiteral("RichEdit1"));
    edit.resize(800, 600);

    for (const qint64 size : {100'000LL, 1'000'000LL, 10'000'000LL}) {
        edit.setPlainText(QString::fromUtf8(MixedText(size)));
        const QString pdf = dir.filePath(QStringLiteral("out-%1.pdf").arg(size));
        CurrentPrinter().setOutputFormat(QPrinter::PdfFormat);
        CurrentPrinter().setOutputFileName(pdf);
        QElapsedTimer timer;
        timer.start();
        edit.Print(QString());
        std::printf("print %9lld-byte document to PDF  %10.1f ms  (%lld KB of PDF)\n",
                    static_cast<long long>(size), timer.nsecsElapsed() / 1e6,
                    static_cast<long long>(QFileInfo(pdf).size() / 1024));
    }
    return 0;
}
