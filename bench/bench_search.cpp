// Figures for the standard search on a 10 MB document: Replace All of 10,000
// occurrences (target under 0.5 s) and one Find Next step (target under 20 ms). Beside
// them, searches that cover the whole document: a Find Next that meets no further
// occurrence, the first time and again, beside a floor (the same search in the
// document's text as one string, measured in the same run), and an upward search from
// the end, which steps through all 10,000 occurrences from the top.
#include "BenchEdit.h"
#include "edit/StandardSearch.h"
#include "search/FindInDocument.h"
#include "platform/forms/Application.h"
#include "platform/richedit/RichEdit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    TApplication application;
    application.Initialize();

    const QString line = QString::fromUtf8("日本語とКириллица and Latin text on one line of the document.\n");
    QString text;
    const int occurrences = 10000;
    const qsizetype target = 10 * 1024 * 1024 / 2;  // UTF-16 units of about 10 MB of UTF-8
    const qsizetype spacing = target / occurrences;
    int placed = 0;
    while (text.size() < target) {
        text += line;
        if (placed < occurrences && text.size() >= spacing * (placed + 1)) {
            text += QStringLiteral("a needle here\n");
            ++placed;
        }
    }
    TRichEdit edit(nullptr, QStringLiteral("RichEdit1"));
    if (!ShowBenchEdit(edit))
        return 1;
    edit.SetText(text);
    std::printf("document: %lld characters, %d occurrences\n", static_cast<long long>(text.size()), placed);

    edit.SetSelStart(0);
    QElapsedTimer timer;
    timer.start();
    int steps = 0;
    double worst = 0;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer step;
        step.start();
        SelectOccurrence(edit, FindInDocument(edit, QStringLiteral("needle"), {}, kSearchDown), QStringLiteral("needle"));
        worst = std::max(worst, step.nsecsElapsed() / 1e6);
        ++steps;
    }
    std::printf("%-40s %8.2f ms   (target < 20 ms; worst %.2f ms)\n", "Find Next step (mean of 200)",
                timer.nsecsElapsed() / 1e6 / steps, worst);

    // Between two of the user's searches the event loop runs.
    QCoreApplication::processEvents();
    const QString absent = QStringLiteral("absent");
    double wholeDocument[2];
    for (double& figure : wholeDocument) {
        edit.SetSelStart(0);
        timer.restart();
        if (FindInDocument(edit, absent, {}, kSearchDown))
            return 1;
        figure = timer.nsecsElapsed() / 1e6;
        QCoreApplication::processEvents();
    }
    timer.restart();
    if (text.indexOf(absent, 0, Qt::CaseInsensitive) >= 0)
        return 1;
    const double floor = timer.nsecsElapsed() / 1e6;
    std::printf("%-40s %8.2f ms   (again %.2f ms; floor, one string: %.2f ms)\n", "Find Next, no further occurrence",
                wholeDocument[0], wholeDocument[1], floor);

    edit.SetSelStart(edit.TextLength());
    timer.restart();
    const std::optional<int> last = FindInDocument(edit, QStringLiteral("needle"), {}, kSearchUp);
    std::printf("%-40s %8.2f ms   (found at %d)\n", "Upward search from the end", timer.nsecsElapsed() / 1e6,
                last.value_or(-1));
    QCoreApplication::processEvents();

    timer.restart();
    const int replaced = ReplaceAllInDocument(edit, QStringLiteral("needle"), QStringLiteral("pin"), {});
    std::printf("%-40s %8.1f ms   (target < 500 ms; %d replaced)\n", "Replace All", timer.nsecsElapsed() / 1e6,
                replaced);
    edit.SetModified(false);
    return 0;
}
