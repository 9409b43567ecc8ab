// Figures for the standard search on a 10 MB document: Replace All of 10,000
// occurrences (target under 0.5 s) and one Find Next step (target under 20 ms).
#include "edit/StandardSearch.h"
#include "foreignsearch/FindInDocument.h"
#include "platform/Application.h"
#include "platform/RichEdit.h"

#include <QApplication>
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
    edit.resize(800, 600);
    edit.show();
    if (!QTest::qWaitForWindowExposed(&edit))
        return 1;
    edit.SetFormattingRect(10, 10, 624, 560);
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

    timer.restart();
    const int replaced = ReplaceAllInDocument(edit, QStringLiteral("needle"), QStringLiteral("pin"), {});
    std::printf("%-40s %8.1f ms   (target < 500 ms; %d replaced)\n", "Replace All", timer.nsecsElapsed() / 1e6,
                replaced);
    edit.SetModified(false);
    return 0;
}
