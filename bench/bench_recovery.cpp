// Figures for the recovery journal, each beside a floor measured in the same run: the
// key latency in 10 MB and 50 MB documents with the journal off (the floor) and on,
// and while its snapshot is being written; the snapshot's longest stall of the event
// loop; the journal's bytes per keystroke; and recovering a 10 MB document from its
// journal against opening the same text from its file (target: recovery within 1 s).
#include "BenchEdit.h"
#include "platform/forms/Application.h"
#include "platform/recovery/DocumentJournal.h"
#include "platform/recovery/DocumentJournalCodec.h"
#include "platform/recovery/RecoveryStore.h"
#include "platform/richedit/RichEdit.h"
#include "MixedText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

struct Latency {
    double median = 0;
    double worst = 0;
};

// One key typed at position, with the events it causes and the repaint: 21 keys.
Latency TypeKeys(TRichEdit& edit, int position)
{
    std::vector<double> times;
    for (int i = 0; i < 21; ++i) {
        edit.SetSelStart(position + i);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(&edit, Qt::Key_X);
        QCoreApplication::processEvents();
        edit.viewport()->repaint();
        times.push_back(Ms(timer));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

// Keys typed at position without events or repaint, which hide the journal's own cost
// in noise: batches of 200 keys with the journal recording and paused, taken in turn so
// that both see the same document; the median of 5 of each, per key in microseconds.
struct KeyCost {
    double on = 0;
    double off = 0;
};

KeyCost KeyCostUs(TRichEdit& edit, TDocumentJournal& journal, int position)
{
    std::vector<double> on, off;
    for (int batch = 0; batch < 10; ++batch) {
        const bool paused = batch % 2 == 1;
        if (paused)
            journal.Pause();
        edit.SetSelStart(position);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 200; ++i)
            QTest::keyClick(&edit, Qt::Key_V);
        (paused ? off : on).push_back(timer.nsecsElapsed() / 1e3 / 200);
        if (paused) {
            journal.Resume();
            // The paused keys are not in the journal: a new one takes them in.
            journal.Discard();
            QTest::keyClick(&edit, Qt::Key_V);
            journal.Settle();
        }
        QCoreApplication::processEvents();
    }
    std::sort(on.begin(), on.end());
    std::sort(off.begin(), off.end());
    return {on[2], off[2]};
}

void Row(const char* what, const Latency& value, const Latency& floor, const char* target)
{
    std::printf("%-54s %7.2f / %7.2f ms   floor %7.2f / %7.2f ms   %s\n", what, value.median, value.worst,
                floor.median, floor.worst, target);
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::unique_ptr<TRichEdit> OpenedEditor(const QString& path)
{
    auto edit = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit1"));
    if (!ShowBenchEdit(*edit))
        std::printf("the window was not exposed\n");
    edit->PlainText = true;
    edit->LoadFromFile(path);
    edit->FinishLoading();
    edit->document()->documentLayout()->documentSize();
    edit->setFocus();
    return edit;
}

void MeasureDocument(const QString& name, qint64 bytes, const QTemporaryDir& dir, bool recover)
{
    const QString path = dir.filePath(name + QStringLiteral(".txt"));
    if (!WriteFile(path, MixedText(bytes)))
        return;
    std::printf("\n--- %s document ---\n", qPrintable(name));
    std::unique_ptr<TRichEdit> edit = OpenedEditor(path);
    const int length = edit->TextLength();
    std::printf("characters: %d\n", length);

    const Latency offTop = TypeKeys(*edit, 100);
    const Latency offMiddle = TypeKeys(*edit, length / 2);

    const TRecoveryStore store(dir.filePath(QStringLiteral("recovery-") + name));
    auto journal = std::make_unique<TDocumentJournal>(edit.get(), store);
    // The first change starts the journal; its base snapshot is written in slices.
    QElapsedTimer snapshot;
    snapshot.start();
    edit->SetSelStart(0);
    QTest::keyClick(edit.get(), Qt::Key_Y);
    double longestStall = 0;
    while (journal->Snapshotting()) {
        QElapsedTimer slice;
        slice.start();
        QCoreApplication::processEvents();
        longestStall = std::max(longestStall, Ms(slice));
    }
    const double snapshotMs = Ms(snapshot);
    journal->Settle();
    std::printf("%-54s %7.0f ms, longest event-loop stall %.1f ms (target: no stall over 50 ms)\n",
                "first snapshot, written in slices", snapshotMs, longestStall);

    const Latency onTop = TypeKeys(*edit, 100);
    const Latency onMiddle = TypeKeys(*edit, length / 2);
    Row("key at the top, journal on / off (median / worst)", onTop, offTop, "target: within 1 ms of the floor");
    Row("key in the middle, journal on / off", onMiddle, offMiddle, "target: within 1 ms of the floor");
    const KeyCost cost = KeyCostUs(*edit, *journal, length / 2);
    std::printf("%-54s %7.1f us   floor %7.1f us   the journal's own part: %.1f us\n",
                "key without events or repaint, journal on / paused", cost.on, cost.off, cost.on - cost.off);

    // Keys while a snapshot is being written (a new journal after a save, a compaction).
    journal->Discard();
    QTest::keyClick(edit.get(), Qt::Key_Z);
    const Latency duringSnapshot = TypeKeys(*edit, 100);
    Row("key at the top while the snapshot is written", duringSnapshot, offTop,
        "target: within one slice (8 ms) of the floor");
    journal->Settle();

    // Bytes per keystroke, flushed as the timer flushes them.
    journal->Flush();
    const qint64 before = journal->Size();
    const int keys = 200;
    edit->SetSelStart(length / 3);
    for (int i = 0; i < keys; ++i) {
        QTest::keyClick(edit.get(), Qt::Key_W);
        if (i % 10 == 9)
            journal->Flush();  // the flush timer's caret record, about every 10 keys typed fast
    }
    journal->Flush();
    std::printf("%-54s %7.1f bytes (%lld bytes for %d keys; document %lld bytes)\n", "journal bytes per keystroke",
                double(journal->Size() - before) / keys, journal->Size() - before, keys, 2LL * length);
    journal->Settle();

    if (recover) {
        // Recovery into a fresh control, against opening the text from its file.
        const QString journalPath = journal->Set().journalPath;
        const QString text = edit->Text();
        journal.reset();
        auto restored = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit2"));
        restored->resize(800, 600);
        restored->show();
        if (!QTest::qWaitForWindowExposed(restored.get()))
            std::printf("the window was not exposed\n");
        QElapsedTimer timer;
        timer.start();
        const TJournalReplay replay = ReplayJournalFile(journalPath, restored->document());
        restored->viewport()->repaint();
        const double recoverMs = Ms(timer);
        timer.restart();
        auto opened = std::make_unique<TRichEdit>(nullptr, QStringLiteral("RichEdit3"));
        opened->resize(800, 600);
        opened->show();
        if (!QTest::qWaitForWindowExposed(opened.get()))
            std::printf("the window was not exposed\n");
        opened->PlainText = true;
        timer.restart();
        opened->LoadFromFile(path);
        opened->FinishLoading();
        opened->viewport()->repaint();
        const double openMs = Ms(timer);
        std::printf("%-54s %7.0f ms   floor (open the file) %7.0f ms   target <= 1000 ms; %d records, %s\n",
                    "recover the document from its journal", recoverMs, openMs, replay.records,
                    restored->Text() == text ? "text identical" : "TEXT DIFFERS");
        restored->SetModified(false);
        opened->SetModified(false);
    }
    journal.reset();
    edit->SetModified(false);
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApplication(argc, argv);
    TApplication application;
    application.Initialize();
    QTemporaryDir dir;
    const QStringList which = QCoreApplication::arguments().mid(1);
    if (which.isEmpty() || which.contains(QStringLiteral("10")))
        MeasureDocument(QStringLiteral("10MB"), 10 * 1024 * 1024, dir, true);
    if (which.isEmpty() || which.contains(QStringLiteral("50")))
        MeasureDocument(QStringLiteral("50MB"), 50 * 1024 * 1024, dir, false);
    return 0;
}
