// Figures for the rich-edit control on a 10 MB mixed Japanese/Cyrillic/Latin text
// file: load with layout, save, FindText over all hits, LineFromChar near the end and
// a keystroke at the end. Targets: load + layout under 2 s, LineFromChar at the end
// under 5 ms, a keystroke at the end under 16 ms.
#include "BenchEdit.h"
#include "platform/forms/Application.h"
#include "platform/richedit/RichEdit.h"
#include "MixedText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

double Milliseconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void Report(const char* what, double ms, double targetMs = 0)
{
    if (targetMs > 0)
        std::printf("%-48s %10.1f ms   (target < %.0f ms)\n", what, ms, targetMs);
    else
        std::printf("%-48s %10.1f ms\n", what, ms);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    TApplication application;
    application.Initialize();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write(MixedText(10 * 1024 * 1024));
    }
    std::printf("file: %.1f MB\n", QFileInfo(path).size() / 1048576.0);

    TRichEdit edit(nullptr, QStringLiteral("RichEdit1"));

    if (!ShowBenchEdit(edit))

        return 1;
    edit.PlainText = true;

    QElapsedTimer timer;
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        timer.start();
        const DecodedText decoded = DecodeTextFile(bytes);
        Report("decode alone", Milliseconds(timer));
    }
    timer.start();
    edit.LoadFromFile(path);
    edit.FinishLoading();
    const double loaded = Milliseconds(timer);
    edit.document()->documentLayout()->documentSize();  // complete the layout
    const int lastLine = edit.LineFromChar(edit.TextLength());
    Report("load", loaded);
    Report("load + layout of the whole document", Milliseconds(timer), 2000);
    std::printf("paragraphs: %d, displayed lines: %d\n", edit.document()->blockCount(), lastLine + 1);

    timer.restart();
    edit.SaveToFile(dir.filePath(QStringLiteral("out.txt")));
    Report("save", Milliseconds(timer));

    timer.restart();
    int hits = 0;
    for (int p = edit.FindText(QStringLiteral("needle"), 0, -1, {}); p >= 0;
         p = edit.FindText(QStringLiteral("needle"), p + 1, -p - 2, {}))
        ++hits;
    Report(qPrintable(QStringLiteral("FindText over all %1 hits").arg(hits)), Milliseconds(timer));

    timer.restart();
    const int first = edit.FindText(QStringLiteral("needle"), 0, -1, {true, true});
    Report("FindText of a near hit", Milliseconds(timer));
    Q_UNUSED(first);

    edit.SetSelStart(edit.TextLength());
    timer.restart();
    edit.LineFromChar(edit.TextLength() - 10);
    Report("LineFromChar near the end (cached)", Milliseconds(timer), 5);

    edit.setFocus();
    QTest::keyClick(&edit, Qt::Key_A);  // warm up
    QCoreApplication::processEvents();
    const int keys = 20;
    timer.restart();
    for (int i = 0; i < keys; ++i) {
        QTest::keyClick(&edit, Qt::Key_X);
        edit.LineFromChar(edit.SelStart());
        QCoreApplication::processEvents();
    }
    Report("keystroke at the end (with line lookup)", Milliseconds(timer) / keys, 16);

    timer.restart();
    edit.LineFromChar(edit.TextLength());
    Report("LineFromChar at the end after typing", Milliseconds(timer), 5);

    edit.SetSelStart(100);
    QTest::keyClick(&edit, Qt::Key_Return);
    timer.restart();
    edit.LineFromChar(edit.TextLength());
    Report("LineFromChar at the end after an edit at the top", Milliseconds(timer));

    edit.SetModified(false);
    return 0;
}
