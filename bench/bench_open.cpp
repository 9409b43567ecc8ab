// Opening big files: time to the first paint, time until the whole file is in, the
// longest stall of the event loop meanwhile and the peak memory. Plain text of 1, 10,
// 50 and 100 MB beside plain QTextEdit::setPlainText on the same text, and mixed RTF of
// 5 and 20 MB beside a one-shot ReadRtf of the same bytes, in the same run. Each figure
// comes from a fresh process, so that peak memory is the run's own. A last row shows
// the longest stall of the event loop alone: the machine's own, under every row's.
//   build/bench/bench_open            all sizes
//   build/bench/bench_open 10 ours    one run: MB and "ours", "qt", "rtf", "rtf-once"
//                                     or "idle"
// Targets: first paint < 100 ms at any size, longest stall <= 16 ms, the whole load
// <= 0.5x setPlainText, 50 MB <= 400 MiB resident.
#include "BenchEdit.h"
#include "MixedRtf.h"
#include "platform/forms/Application.h"
#include "platform/richedit/RichEdit.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/text/TextEncoding.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

// Lines of about 50 bytes of mixed scripts: 10 MB is about 200,000 lines.
QByteArray BenchText(qint64 bytes)
{
    const QByteArray lines[] = {
        QString::fromUtf8("日本語の行です。東京、大阪、京都と名古屋。").toUtf8(),
        QString::fromUtf8("Съешь же ещё этих мягких булок, да выпей.").toUtf8(),
        QByteArray("The quick brown fox jumps over the lazy dog, 12."),
        QString::fromUtf8("混在: Tesserine, Кириллица, カタカナ, ASCII").toUtf8(),
    };
    QByteArray out;
    out.reserve(bytes + 100);
    for (int i = 0; out.size() < bytes; ++i)
        out += lines[i % 4] + '\n';
    return out;
}

qint64 PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

qint64 ThreadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Measures the longest time between two turns of the event loop while it runs, and
// the processor time the thread spent in that turn: on a loaded machine a long turn
// with little processor time is the process waiting for a core, not work.
class StallProbe : public QObject {
public:
    StallProbe()
    {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, this, [this]() {
            const qint64 now = clock_.nsecsElapsed();
            const qint64 cpu = ThreadCpuNs();
            if (now - last_ > longest_) {
                longest_ = now - last_;
                longestCpu_ = cpu - lastCpu_;
            }
            longestCpuTurn_ = std::max(longestCpuTurn_, cpu - lastCpu_);
            last_ = now;
            lastCpu_ = cpu;
        });
        clock_.start();
        lastCpu_ = ThreadCpuNs();
        timer_.start();
    }
    double LongestMs() const { return longest_ / 1e6; }
    // The processor time of the longest turn, and the most any turn took.
    double LongestCpuMs() const { return longestCpu_ / 1e6; }
    double LongestCpuTurnMs() const { return longestCpuTurn_ / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 lastCpu_ = 0;
    qint64 longest_ = 0;
    qint64 longestCpu_ = 0;
    qint64 longestCpuTurn_ = 0;
};

// The event loop alone for three seconds, with the probe: the longest stall the
// machine itself causes (on a shared virtual machine, a core taken away for 100 ms
// or more at times, which the thread's processor time counts as its own).
int RunIdle()
{
    const qint64 baseline = PeakResidentKiB();
    QElapsedTimer timer;
    timer.start();
    const StallProbe probe;
    while (timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    std::printf("0 0 %.1f %lld %lld %.1f %.1f\n", probe.LongestMs(), PeakResidentKiB(), baseline, probe.LongestCpuMs(),
                probe.LongestCpuTurnMs());
    return 0;
}

// One run; prints "first-paint-ms full-ms stall-ms peak-KiB baseline-KiB stall-cpu-ms
// longest-cpu-turn-ms".
int RunOne(int megabytes, const QByteArray& kind)
{
    const bool rtf = kind.startsWith("rtf");
    const bool ours = kind == "ours" || kind == "rtf";
    QTemporaryDir dir;
    const QString path = dir.filePath(rtf ? QStringLiteral("big.rtf") : QStringLiteral("big.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        int paragraphs = 0;
        file.write(rtf ? BenchRtf(qint64(megabytes) << 20, &paragraphs) : BenchText(qint64(megabytes) << 20));
    }
    const qint64 baseline = PeakResidentKiB();
    QElapsedTimer timer;
    double firstPaint = 0;
    double full = 0;
    double stall = 0;
    double stallCpu = 0;
    double cpuTurn = 0;
    if (ours) {
        TRichEdit edit(nullptr, QStringLiteral("RichEdit1"));
        if (!ShowBenchEdit(edit))
            return 1;
        edit.PlainText = !rtf;
        timer.start();
        edit.LoadFromFile(path);
        edit.viewport()->repaint();
        firstPaint = timer.nsecsElapsed() / 1e6;
        {
            const StallProbe probe;
            while (edit.Loading())
                QCoreApplication::processEvents(QEventLoop::AllEvents);
            stall = probe.LongestMs();
            stallCpu = probe.LongestCpuMs();
            cpuTurn = probe.LongestCpuTurnMs();
        }
        full = timer.nsecsElapsed() / 1e6;
    } else if (rtf) {
        TRichEdit edit(nullptr, QStringLiteral("RichEdit1"));
        if (!ShowBenchEdit(edit))
            return 1;
        timer.start();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        edit.document()->setUndoRedoEnabled(false);
        ReadRtf(file.readAll(), *edit.document(), edit.PixelsPerInch());
        edit.viewport()->repaint();
        firstPaint = full = stall = timer.nsecsElapsed() / 1e6;
    } else {
        QTextEdit edit;
        edit.resize(800, 600);
        edit.show();
        if (!QTest::qWaitForWindowExposed(&edit))
            return 1;
        timer.start();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const DecodedText decoded = DecodeTextFile(file.readAll());
        edit.setPlainText(decoded.text);
        edit.viewport()->repaint();
        firstPaint = full = stall = timer.nsecsElapsed() / 1e6;
    }
    std::printf("%.1f %.1f %.1f %lld %lld %.1f %.1f\n", firstPaint, full, stall, PeakResidentKiB(), baseline, stallCpu,
                cpuTurn);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3) {
        QApplication qtApplication(argc, argv);
        TApplication application;
        application.Initialize();
        if (QByteArray(argv[2]) == "idle")
            return RunIdle();
        return RunOne(QByteArray(argv[1]).toInt(), QByteArray(argv[2]));
    }
    QCoreApplication app(argc, argv);
    std::printf("%-6s %-23s %12s %12s %12s %14s   %s\n", "size", "", "first paint", "whole file", "longest stall",
                "peak resident", "(longest stall's processor time / most processor time of a turn)");
    struct Row {
        int megabytes;
        const char* kind;
        const char* label;
    };
    const Row rows[] = {
        {1, "qt", "QTextEdit::setPlainText"}, {1, "ours", "TRichEdit::LoadFromFile"},
        {10, "qt", "QTextEdit::setPlainText"}, {10, "ours", "TRichEdit::LoadFromFile"},
        {50, "qt", "QTextEdit::setPlainText"}, {50, "ours", "TRichEdit::LoadFromFile"},
        {100, "qt", "QTextEdit::setPlainText"}, {100, "ours", "TRichEdit::LoadFromFile"},
        {5, "rtf-once", "RTF, one-shot ReadRtf"}, {5, "rtf", "RTF, LoadFromFile"},
        {20, "rtf-once", "RTF, one-shot ReadRtf"}, {20, "rtf", "RTF, LoadFromFile"},
        {0, "idle", "event loop alone, 3 s"},
    };
    for (const Row& row : rows) {
        QProcess run;
        run.start(QCoreApplication::applicationFilePath(), {QString::number(row.megabytes), QString::fromLatin1(row.kind)});
        if (!run.waitForFinished(600000) || run.exitCode() != 0) {
            std::printf("%4d MB %s run failed\n", row.megabytes, row.kind);
            continue;
        }
        const QList<QByteArray> f = run.readAllStandardOutput().trimmed().split(' ');
        if (f.size() < 5)
            continue;
        const bool sliced = QByteArray(row.kind) == "ours" || QByteArray(row.kind) == "rtf" || QByteArray(row.kind) == "idle";
        std::printf("%4d MB %-23s %9s ms %9s ms %10s ms %10lld MiB", row.megabytes, row.label, f[0].constData(),
                    f[1].constData(), sliced ? f[2].constData() : "(all)", f[3].toLongLong() / 1024);
        if (sliced && f.size() >= 7)
            std::printf("   (%s / %s ms)", f[5].constData(), f[6].constData());
        std::printf("\n");
    }
    std::printf("targets: first paint < 100 ms; stall <= 16 ms; whole <= 0.5x setPlainText (RTF: <= 1.2x one-shot "
                "ReadRtf); 50 MB <= 400 MiB\n");
    return 0;
}
