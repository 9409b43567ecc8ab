// Figures for the editor's document layout, each printed beside a floor measured in the
// same run (the same job done by a plain QTextEdit) and the target. The machine is
// shared and noisy, so the ratio to the floor is the figure to compare across runs.
//
//   bench_layout              runs every group of rows, each in a child process
//   bench_layout GROUP...     runs the named groups (see --list)
//
// The documents are generated once into a temporary folder: 10 MB of mixed Japanese and
// Cyrillic text in 200,000 lines (with "needle" exactly 10,000 times), the same text as
// one paragraph, 50 MB of the same kind of text, and a 5 MB formatted RTF file. The
// editor side runs in the program's real window set (its handlers update the status
// bar on every caret move); the floor is a plain QTextEdit of the same size, font and
// wrap width, shown as a window of its own. Only the editor's public API is used, so
// the bench measures whatever layout the editor has.
#include "MixedRtf.h"
#include "MixedText.h"
#include "edit/StandardSearch.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "shell/SDIMain.h"
#include "support/WindowSetFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

namespace {

// --- What is measured ---------------------------------------------------------------

enum class Unit { Ms, MiB, YesNo };

struct Metric {
    const char* id;
    const char* label;
    Unit unit;
    double target;  // the highest value that meets the target; for YesNo, 1 (yes); 0: none
    const char* targetText;
};

struct Group {
    const char* name;
    const char* what;
    int capSeconds;   // a child still running after this is stopped
    bool splitSides;  // editor and floor in separate processes (memory, or very slow)
    std::vector<Metric> metrics;
};

const std::vector<Group>& Groups()
{
    static const std::vector<Group> groups = {
        {"typing", "one key typed (key, events, repaint), 21 keys at each place", 300, false,
         {
             {"key-top-median", "key at the top: median", Unit::Ms, 5, "<= 5 ms"},
             {"key-top-worst", "key at the top: worst", Unit::Ms, 16, "<= 16 ms"},
             {"key-middle-median", "key in the middle: median", Unit::Ms, 5, "<= 5 ms"},
             {"key-middle-worst", "key in the middle: worst", Unit::Ms, 16, "<= 16 ms"},
             {"key-end-median", "key at the end: median", Unit::Ms, 5, "<= 5 ms"},
             {"key-end-worst", "key at the end: worst", Unit::Ms, 16, "<= 16 ms"},
         }},
        {"backlog", "5,000 key presses and releases posted at once at the top, until processed and repainted",
         240, false,
         {
             {"backlog", "5,000 keys posted at the top", Unit::Ms, 1000, "<= 1 s"},
         }},
        {"replace", "Replace All of the 10,000 needles as one undo step, and its undo (events, repaint)", 300,
         false,
         {
             {"replace", "Replace All, 10,000 occurrences", Unit::Ms, 300, "<= 0.3 s"},
             {"replace-undo", "undo of Replace All", Unit::Ms, 300, "<= 0.3 s"},
         }},
        {"ctrl-end", "Ctrl+End after a key typed at the top, until the status line shows the caret", 240, false,
         {
             {"ctrl-end", "Ctrl+End after an edit at the top", Unit::Ms, 16, "<= 16 ms"},
         }},
        {"open", "10 MB text file: open, then a forced repaint", 240, false,
         {
             {"open", "Open 10 MB text -> first paint", Unit::Ms, 500, "<= 0.5 s"},
         }},
        {"layout-key", "10 MB text: open, type one key at once, let events run until idle, scroll to the end",
         300, false,
         {
             {"layout-key", "key typed right after the open", Unit::Ms, 0, "-"},
             {"layout-idle", "open until the event loop is idle", Unit::Ms, 0, "-"},
             {"layout-reaches-end", "scroll range reaches the end", Unit::YesNo, 1, "yes"},
         }},
        {"rtf", "5 MB formatted RTF (CP932 and CP1251 escapes): open, then a forced repaint", 300, false,
         {
             {"rtf-open", "Open 5 MB RTF -> first paint", Unit::Ms, 500, "<= 0.5 s"},
         }},
        {"big", "50 MB text, 1,000,000 lines, each side in a process of its own", 300, true,
         {
             {"big-open", "Open 50 MB text -> first paint", Unit::Ms, 2500, "<= 2.5 s"},
             {"big-ctrl-end", "50 MB: Ctrl+End right after the open", Unit::Ms, 16, "<= 16 ms"},
             {"big-laid-out", "50 MB fully laid out (from the open)", Unit::Ms, 0, "background"},
             {"big-stall", "50 MB longest event-loop stall", Unit::Ms, 50, "<= 50 ms"},
             {"big-memory", "50 MB peak memory (VmHWM)", Unit::MiB, 600, "<= 600 MiB"},
         }},
        {"paragraph", "10 MB of text in one paragraph, each side in a process of its own", 240, true,
         {
             {"para-open", "Open 10 MB one paragraph -> first paint", Unit::Ms, 1500, "<= 1.5 s"},
             {"para-ctrl-end", "one paragraph: Ctrl+End right after the open", Unit::Ms, 16, "<= 16 ms"},
             {"para-key", "key at the start of the paragraph", Unit::Ms, 50, "<= 50 ms"},
         }},
        {"para-edit",
         "10 MB in one paragraph: open, 2,000 PageDowns, Replace All, its undo, a key and a move; each side in a "
         "process of its own",
         420, true,
         {
             {"para-memory-move", "one paragraph: peak memory after moving", Unit::MiB, 250, "<= 250 MiB"},
             {"para-replace", "one paragraph: Replace All, 10,000 occurrences", Unit::Ms, 300, "<= 0.3 s"},
             {"para-replace-undo", "one paragraph: undo of Replace All", Unit::Ms, 300, "<= 0.3 s"},
             {"para-first-move", "one paragraph: first Right after a key typed", Unit::Ms, 16, "<= 16 ms"},
             {"para-memory", "one paragraph: peak memory at the end", Unit::MiB, 250, "<= 250 MiB"},
         }},
        {"para-moves",
         "10 MB in one paragraph: the first caret move after a key typed in its middle (Left, Right, Up, Down, "
         "Home, End, Ctrl+Right, PageDown, a click); each side in a process of its own",
         420, true,
         {
             {"para-move-median", "one paragraph: first move after a key, median", Unit::Ms, 16, "<= 16 ms"},
             {"para-move-worst", "one paragraph: first move after a key, worst", Unit::Ms, 16, "<= 16 ms"},
         }},
        {"para-format",
         "10 MB in one paragraph: centred, indented, bulleted, made bold over Ctrl+A, bold taken off and put "
         "on again (each, events, repaint); each side in a process of its own",
         420, true,
         {
             {"para-align", "one paragraph: centred", Unit::Ms, 16, "<= 16 ms"},
             {"para-indent", "one paragraph: left indent", Unit::Ms, 16, "<= 16 ms"},
             {"para-bullet", "one paragraph: bulleted", Unit::Ms, 16, "<= 16 ms"},
             {"para-bold", "one paragraph: bold over Ctrl+A", Unit::Ms, 16, "<= 16 ms"},
             {"para-unbold", "one paragraph: bold taken off again", Unit::Ms, 16, "<= 16 ms"},
             {"para-bold-again", "one paragraph: bold again, font in use", Unit::Ms, 16, "<= 16 ms"},
         }},
        {"para-runs",
         "10 MB in one paragraph, every other 32 characters bold (about 150,000 runs): a key typed at its end; "
         "each side in a process of its own",
         420, true,
         {
             {"para-runs-key", "one paragraph of many runs: key at its end", Unit::Ms, 16, "<= 16 ms"},
         }},
    };
    return groups;
}

const Group* FindGroup(const QString& name)
{
    for (const Group& group : Groups())
        if (name == QLatin1String(group.name))
            return &group;
    return nullptr;
}

// --- Generated documents ------------------------------------------------------------

constexpr qint64 kMiB = 1024 * 1024;
const QByteArray kNeedle = "needle";

QString TextPath(const QString& dir) { return dir + QStringLiteral("/text10.txt"); }
QString ParagraphPath(const QString& dir) { return dir + QStringLiteral("/paragraph10.txt"); }
QString BigPath(const QString& dir) { return dir + QStringLiteral("/text50.txt"); }
QString RtfPath(const QString& dir) { return dir + QStringLiteral("/formatted5.rtf"); }
QString RtfCountPath(const QString& dir) { return dir + QStringLiteral("/formatted5.count"); }

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Needs(const QStringList& groups, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (groups.contains(QLatin1String(name)))
            return true;
    return false;
}

// Writes the documents the groups need, unless a kept folder has them already.
bool GenerateDocuments(const QString& dir, const QStringList& groups)
{
    if (Needs(groups, {"typing", "backlog", "replace", "ctrl-end", "open", "layout-key", "paragraph", "para-edit",
                       "para-moves", "para-format", "para-runs"})
        && !(QFile::exists(TextPath(dir)) && QFile::exists(ParagraphPath(dir)))) {
        QByteArray text = MixedLines(10 * kMiB, 200000, kNeedle, 20);
        if (!WriteFile(TextPath(dir), text))
            return false;
        std::printf("10 MB text: %.2f MiB, %d lines, %lld needles\n", text.size() / double(kMiB),
                    static_cast<int>(text.count('\n')), static_cast<long long>(text.count(kNeedle)));
        // The same text as one paragraph.
        text.chop(1);
        text.replace('\n', ' ');
        text += '\n';
        if (!WriteFile(ParagraphPath(dir), text))
            return false;
    }
    if (Needs(groups, {"big"}) && !QFile::exists(BigPath(dir))) {
        const QByteArray text = MixedLines(50 * kMiB, 1000000, kNeedle, 20);
        if (!WriteFile(BigPath(dir), text))
            return false;
        std::printf("50 MB text: %.2f MiB, %d lines\n", text.size() / double(kMiB), static_cast<int>(text.count('\n')));
    }
    if (Needs(groups, {"rtf"}) && !QFile::exists(RtfCountPath(dir))) {
        int paragraphs = 0;
        const QByteArray rtf = BenchRtf(5 * kMiB, &paragraphs);
        if (!WriteFile(RtfPath(dir), rtf) || !WriteFile(RtfCountPath(dir), QByteArray::number(paragraphs)))
            return false;
        std::printf("5 MB RTF: %.2f MiB, %d paragraphs\n", rtf.size() / double(kMiB), paragraphs);
    }
    std::fflush(stdout);
    return true;
}

// --- Measuring in a child process -----------------------------------------------------

double Ms(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double PeakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// One figure, read by the parent: metric, side, value and an optional note.
void Emit(const char* metric, const char* side, double value, const QString& note = QString())
{
    std::printf("FIG\t%s\t%s\t%.4f\t%s\n", metric, side, value, qPrintable(note));
    std::fflush(stdout);
}

void Note(const QString& text)
{
    std::printf("NOTE\t%s\n", qPrintable(text));
    std::fflush(stdout);
}

// One of the two controls that do the same jobs: the editor in the program's window
// set, or the plain QTextEdit.
struct Side {
    const char* name = "";
    QAbstractScrollArea* area = nullptr;
    std::function<void(const QString&)> openText;
    std::function<void()> clear;
    std::function<int()> length;
    std::function<void(int)> setCaret;
    // The text the status line shows for the caret.
    std::function<QString()> status;

    void Repaint() const { area->viewport()->repaint(); }
    // The events a job left, then a repaint: the job done as the user sees it.
    void EventsAndRepaint() const
    {
        QCoreApplication::processEvents();
        Repaint();
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(area, key, modifiers);
    }
    // A key as typed: the key, the events it leaves, and a repaint.
    double TypedKeyMs(Qt::Key key = Qt::Key_X) const
    {
        QElapsedTimer timer;
        timer.start();
        Key(key);
        EventsAndRepaint();
        return Ms(timer);
    }
};

struct Quiet {
    double busyUntilMs = 0;   // the last moment anything was going on
    double longestGapMs = 0;  // the longest time between two ticks of a 5 ms timer
    bool capped = false;
};

// CPU time of the whole process, all threads, in milliseconds.
double ProcessCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall time and the process's CPU time of one job: on a loaded machine the CPU time
// is what the job itself cost.
// With BENCH_PERF_CONTROL naming the control fifo of `perf record -D -1 --control
// fifo:FIFO`, perf samples only while a stopwatch runs: from its start to its first Ms().
void TellPerf(const char* command)
{
    static const QByteArray fifo = qgetenv("BENCH_PERF_CONTROL");
    if (fifo.isEmpty())
        return;
    if (FILE* control = std::fopen(fifo.constData(), "w")) {
        std::fputs(command, control);
        std::fclose(control);
    }
}

struct Stopwatch {
    QElapsedTimer wall;
    double cpuStart = 0;
    mutable bool sampling = true;
    Stopwatch()
    {
        TellPerf("enable\n");
        wall.start();
        cpuStart = ProcessCpuMs();
    }
    double Ms() const
    {
        const double ms = wall.nsecsElapsed() / 1e6;
        if (sampling)
            TellPerf("disable\n");
        sampling = false;
        return ms;
    }
    QString CpuNote() const { return QStringLiteral("cpu %1 ms").arg(ProcessCpuMs() - cpuStart, 0, 'f', 1); }
};

// Runs the event loop until the control has gone quiet: 40 ticks of a 5 ms timer in a
// row with no change of the vertical scroll range, no gap over 15 ms between ticks
// (work done in the event loop between ticks shows as a gap) and the process using
// less than half a core between ticks (work done in small slices or in other threads
// shows as CPU time). Layout done in the background shows one of these ways whatever
// the layout is, without asking it anything.
Quiet RunUntilQuiet(const Side& side, double capMs)
{
    Quiet quiet;
    QElapsedTimer clock;
    clock.start();
    bool changed = false;
    const QMetaObject::Connection connection = QObject::connect(
        side.area->verticalScrollBar(), &QScrollBar::rangeChanged, side.area, [&changed]() { changed = true; });
    QEventLoop loop;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    double lastTick = 0;
    double lastCpu = ProcessCpuMs();
    int quietTicks = 0;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&]() {
        const double now = Ms(clock);
        const double cpu = ProcessCpuMs();
        const double gap = now - lastTick;
        const bool working = cpu - lastCpu > gap / 2;
        lastTick = now;
        lastCpu = cpu;
        quiet.longestGapMs = std::max(quiet.longestGapMs, gap);
        if (changed || gap > 15 || working) {
            changed = false;
            quietTicks = 0;
            quiet.busyUntilMs = now;
        } else if (++quietTicks >= 40) {
            loop.quit();
        }
        if (now > capMs) {
            quiet.capped = true;
            loop.quit();
        }
    });
    ticker.start();
    loop.exec();
    QObject::disconnect(connection);
    return quiet;
}

// Completes whatever layout is still pending and returns how long that took: a text
// edit's document layout finishes when asked for the document's size. Nothing to do
// for a control that is not a text edit.
double ForceLayoutMs(const Side& side)
{
    auto* edit = qobject_cast<QTextEdit*>(side.area);
    if (!edit)
        return 0;
    QElapsedTimer timer;
    timer.start();
    edit->document()->documentLayout()->documentSize();
    return Ms(timer);
}

// Lets background layout finish, then completes what is left: the state before a
// figure that is not about the layout itself.
void Settle(const Side& side, double capMs = 120000)
{
    RunUntilQuiet(side, capMs);
    ForceLayoutMs(side);
    side.EventsAndRepaint();
}

// Scrolls to the bottom of the scroll range and tells whether the last line of text
// is then in view (the bottom of the view is in the last paragraph that has text).
bool ReachesEnd(const Side& side)
{
    auto* edit = qobject_cast<QTextEdit*>(side.area);
    if (!edit)
        return false;
    QScrollBar* bar = edit->verticalScrollBar();
    bar->setValue(bar->maximum());
    side.EventsAndRepaint();
    QTextBlock last = edit->document()->lastBlock();
    while (last.isValid() && last.length() <= 1 && last.previous().isValid())
        last = last.previous();
    const QTextCursor bottom =
        edit->cursorForPosition(QPoint(edit->viewport()->width() / 2, edit->viewport()->height() - 2));
    return bottom.position() >= last.position();
}

// Receives a posted event after every event posted before it has been delivered.
class Sentinel : public QObject {
public:
    bool arrived = false;
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User) {
            arrived = true;
            return true;
        }
        return QObject::event(event);
    }
};

// Posts count key presses and releases of 'x' at once and returns the time until all
// are processed and the view has been repainted.
double PostedKeysMs(const Side& side, int count)
{
    Sentinel sentinel;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        QCoreApplication::postEvent(side.area, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
        QCoreApplication::postEvent(side.area, new QKeyEvent(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    }
    QCoreApplication::postEvent(&sentinel, new QEvent(QEvent::User));
    while (!sentinel.arrived)
        QCoreApplication::processEvents();
    side.Repaint();
    return Ms(timer);
}

// Ctrl+End, until the status line has changed and the view is repainted; what the
// status line then shows.
double CtrlEndMs(const Side& side, QString* shown)
{
    const QString before = side.status();
    QElapsedTimer timer;
    timer.start();
    side.Key(Qt::Key_End, Qt::ControlModifier);
    while (side.status() == before && timer.elapsed() < 60000)
        QCoreApplication::processEvents();
    side.Repaint();
    *shown = side.status();
    return Ms(timer);
}

class Child {
public:
    Child(const QString& dir, const QString& sides) : dir_(dir)
    {
        fixture_ = std::make_unique<WindowSetFixture>();
        TSDIAppForm* form = fixture_->form();
        form->resize(1024, 768);
        edit_ = form->RichEdit1;

        // The floor: a plain QTextEdit as large as the editor, in its font and wrap width,
        // with no document margin and left-to-right paragraphs as the editor has them
        // (a paragraph direction found from each paragraph's text costs QTextEdit a
        // scan of every paragraph on every edit).
        floor_.setWindowTitle(QStringLiteral("floor"));
        floorStatus_.setWindowTitle(QStringLiteral("floor status"));
        QObject::connect(&floor_, &QTextEdit::cursorPositionChanged, &floorStatus_, [this]() {
            const QTextCursor cursor = floor_.textCursor();
            floorStatus_.setText(QStringLiteral("%1: %2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1));
        });
        ok_ = fixture_->showMainWindow();
        floor_.resize(edit_->size());
        floor_.setFont(edit_->font());
        if (edit_->WrapWidth() > 0) {
            floor_.setLineWrapMode(QTextEdit::FixedPixelWidth);
            floor_.setLineWrapColumnOrWidth(edit_->WrapWidth());
        }
        floor_.document()->setDocumentMargin(0);
        QTextOption option = floor_.document()->defaultTextOption();
        option.setTextDirection(Qt::LeftToRight);
        floor_.document()->setDefaultTextOption(option);
        floor_.show();
        ok_ = ok_ && QTest::qWaitForWindowExposed(&floor_);
        // The main window is the active one, as when a person types into it.
        ok_ = ok_ && fixture_->showMainWindow();
        edit_->setFocus();
        QCoreApplication::processEvents();

        editor_.name = "editor";
        editor_.area = edit_;
        editor_.openText = [this](const QString& path) {
            edit_->PlainText = true;
            edit_->LoadFromFile(path);
            // The rows edit the whole file, as before it loaded in slices.
            edit_->FinishLoading();
        };
        editor_.clear = [this]() { edit_->SetText(QString()); };
        editor_.length = [this]() { return edit_->TextLength(); };
        editor_.setCaret = [this](int position) { edit_->SetSelStart(position); };
        editor_.status = [form]() { return form->StatusBar->PanelText(0); };

        plain_.name = "floor";
        plain_.area = &floor_;
        plain_.openText = [this](const QString& path) { floor_.setPlainText(QString::fromUtf8(ReadFile(path))); };
        plain_.clear = [this]() { floor_.clear(); };
        plain_.length = [this]() { return floor_.document()->characterCount() - 1; };
        plain_.setCaret = [this](int position) {
            QTextCursor cursor(floor_.document());
            cursor.setPosition(std::clamp(position, 0, floor_.document()->characterCount() - 1));
            floor_.setTextCursor(cursor);
        };
        plain_.status = [this]() { return floorStatus_.text(); };

        if (sides != QLatin1String("floor"))
            sides_.push_back(&editor_);
        if (sides != QLatin1String("editor"))
            sides_.push_back(&plain_);
        if (sides != QLatin1String("floor"))
            std::printf("SETUP\tview %dx%d, wrap width %d px, font %s\n", edit_->viewport()->width(),
                        edit_->viewport()->height(), edit_->WrapWidth(), qPrintable(edit_->font().toString()));
    }

    ~Child()
    {
        edit_->SetModified(false);
        floor_.hide();
    }

    bool ok() const { return ok_; }

    int Run(const QString& group)
    {
        if (group == QLatin1String("typing"))
            Typing();
        else if (group == QLatin1String("backlog"))
            Backlog();
        else if (group == QLatin1String("replace"))
            Replace();
        else if (group == QLatin1String("ctrl-end"))
            CtrlEnd();
        else if (group == QLatin1String("open"))
            Open();
        else if (group == QLatin1String("layout-key"))
            KeyDuringLayout();
        else if (group == QLatin1String("rtf"))
            Rtf();
        else if (group == QLatin1String("big"))
            Big();
        else if (group == QLatin1String("paragraph"))
            OneParagraph();
        else if (group == QLatin1String("para-edit"))
            ParagraphEdits();
        else if (group == QLatin1String("para-moves"))
            ParagraphMoves();
        else if (group == QLatin1String("para-format"))
            ParagraphFormats();
        else if (group == QLatin1String("para-runs"))
            ParagraphRuns();
        else
            return 2;
        return 0;
    }

private:
    void Open(const Side& side, const QString& path)
    {
        side.openText(path);
        side.Repaint();
    }

    // Leaves the side empty and idle, so that one side's document does not weigh on
    // the other's figures.
    void Done(const Side& side)
    {
        side.clear();
        Settle(side, 30000);
    }

    void Typing()
    {
        for (const Side* side : sides_) {
            Open(*side, TextPath(dir_));
            Settle(*side);
            const struct {
                const char* median;
                const char* worst;
                double where;
            } places[] = {{"key-top-median", "key-top-worst", 0}, {"key-middle-median", "key-middle-worst", 0.5},
                          {"key-end-median", "key-end-worst", 1}};
            for (const auto& place : places) {
                side->setCaret(static_cast<int>(side->length() * place.where));
                side->EventsAndRepaint();
                std::vector<double> keys;
                for (int i = 0; i < 21; ++i)
                    keys.push_back(side->TypedKeyMs());
                Emit(place.median, side->name, Median(keys));
                Emit(place.worst, side->name, *std::max_element(keys.begin(), keys.end()));
            }
            Done(*side);
        }
    }

    void Backlog()
    {
        constexpr int kKeys = 5000;
        constexpr int kProbe = 100;
        constexpr double kCapMs = 60000;
        for (const Side* side : sides_) {
            Open(*side, TextPath(dir_));
            Settle(*side);
            side->setCaret(0);
            side->EventsAndRepaint();
            // A first batch tells whether the whole backlog fits in the time allowed.
            const double probe = PostedKeysMs(*side, kProbe);
            const double projected = probe * kKeys / kProbe;
            if (projected > kCapMs) {
                Emit("backlog", side->name, projected,
                     QStringLiteral("projected from %1 keys (%2 ms)").arg(kProbe).arg(probe, 0, 'f', 0));
            } else {
                Settle(*side, 30000);
                Emit("backlog", side->name, PostedKeysMs(*side, kKeys));
            }
            Done(*side);
        }
    }

    void Replace()
    {
        const QString needle = QString::fromLatin1(kNeedle);
        const QString replacement = QStringLiteral("pin");
        for (const Side* side : sides_) {
            Open(*side, TextPath(dir_));
            Settle(*side);
            std::vector<double> replaceMs;
            std::vector<double> undoMs;
            int count = 0;
            for (int round = 0; round < 3; ++round) {
                QElapsedTimer timer;
                timer.start();
                if (side == &editor_)
                    count = ReplaceAllInDocument(*edit_, needle, replacement, TSearchTypes{});
                else
                    count = ReplaceAllInPlainEdit(needle, replacement);
                side->EventsAndRepaint();
                replaceMs.push_back(Ms(timer));
                Settle(*side, 30000);

                timer.restart();
                if (side == &editor_)
                    edit_->Undo();
                else
                    floor_.undo();
                side->EventsAndRepaint();
                undoMs.push_back(Ms(timer));
                Settle(*side, 30000);
            }
            Emit("replace", side->name, Median(replaceMs), QStringLiteral("%1 replaced").arg(count));
            Emit("replace-undo", side->name, Median(undoMs));
            Done(*side);
        }
        Note(QStringLiteral("floor: QTextDocument::find and insertText inside one QTextCursor edit block, caret "
                            "after the last replacement; medians of 3"));
    }

    // The floor's Replace All: every occurrence, left to right, in one edit block.
    int ReplaceAllInPlainEdit(const QString& needle, const QString& replacement)
    {
        QTextDocument* doc = floor_.document();
        QTextCursor block(doc);
        block.beginEditBlock();
        int count = 0;
        int caret = -1;
        for (QTextCursor found = doc->find(needle, 0); !found.isNull(); found = doc->find(needle, found)) {
            found.insertText(replacement);
            caret = found.position();
            ++count;
        }
        block.endEditBlock();
        if (caret >= 0)
            plain_.setCaret(caret);
        return count;
    }

    void CtrlEnd()
    {
        for (const Side* side : sides_) {
            Open(*side, TextPath(dir_));
            Settle(*side);
            std::vector<double> times;
            QString shown;
            for (int round = 0; round < 5; ++round) {
                side->Key(Qt::Key_Home, Qt::ControlModifier);
                side->TypedKeyMs();
                const QString before = side->status();
                QElapsedTimer timer;
                timer.start();
                side->Key(Qt::Key_End, Qt::ControlModifier);
                while (side->status() == before && timer.elapsed() < 10000)
                    QCoreApplication::processEvents();
                times.push_back(Ms(timer));
                shown = side->status();
                side->EventsAndRepaint();
            }
            Emit("ctrl-end", side->name, Median(times), QStringLiteral("status \"%1\"").arg(shown));
            Done(*side);
        }
        Note(QStringLiteral("floor status: a label showing paragraph and column from the QTextCursor; median of 5"));
    }

    void Open()
    {
        for (const Side* side : sides_) {
            std::vector<double> times;
            for (int round = 0; round < 3; ++round) {
                QElapsedTimer timer;
                timer.start();
                Open(*side, TextPath(dir_));
                times.push_back(Ms(timer));
                Done(*side);
            }
            Emit("open", side->name, Median(times));
        }
        Note(QStringLiteral("floor: read the file, QString::fromUtf8, setPlainText, repaint; medians of 3"));
    }

    void KeyDuringLayout()
    {
        for (const Side* side : sides_) {
            QElapsedTimer clock;
            clock.start();
            Open(*side, TextPath(dir_));
            const double opened = Ms(clock);
            side->setCaret(0);
            Emit("layout-key", side->name, side->TypedKeyMs());
            const double typed = Ms(clock);
            const Quiet quiet = RunUntilQuiet(*side, 120000);
            Emit("layout-idle", side->name, typed + quiet.busyUntilMs,
                 QStringLiteral("open %1 ms, longest stall %2 ms%3")
                     .arg(opened, 0, 'f', 0)
                     .arg(quiet.longestGapMs, 0, 'f', 0)
                     .arg(quiet.capped ? QStringLiteral(", stopped waiting at 120 s") : QString()));
            Emit("layout-reaches-end", side->name, ReachesEnd(*side) ? 1 : 0);
            Done(*side);
        }
    }

    void Rtf()
    {
        const int paragraphs = ReadFile(RtfCountPath(dir_)).toInt();
        int characters[2] = {0, 0};
        for (const Side* side : sides_) {
            std::vector<double> times;
            for (int round = 0; round < 3; ++round) {
                QElapsedTimer timer;
                timer.start();
                if (side == &editor_) {
                    // The file has justified paragraphs, which the editor shows aligned
                    // left and says so in a message box once the file is read: it is
                    // answered at once.
                    QTimer answer;
                    answer.setInterval(0);
                    QObject::connect(&answer, &QTimer::timeout, []() {
                        if (QWidget* box = QApplication::activeModalWidget())
                            box->close();
                    });
                    answer.start();
                    edit_->PlainText = false;
                    edit_->LoadFromFile(RtfPath(dir_));
                } else {
                    QTextDocument* doc = floor_.document();
                    doc->setUndoRedoEnabled(false);
                    BuildBenchRtfDocument(*doc, paragraphs, edit_->PixelsPerInch());
                    doc->setUndoRedoEnabled(true);
                }
                side->Repaint();
                times.push_back(Ms(timer));
                characters[side == &editor_ ? 0 : 1] = side->length();
                Done(*side);
            }
            Emit("rtf-open", side->name, Median(times));
        }
        // Both hold the same text when the RTF was read in full and decoded right.
        if (sides_.size() == 2)
            Note(QStringLiteral("characters: editor %1, floor %2").arg(characters[0]).arg(characters[1]));
        Note(QStringLiteral("floor: the same %1 paragraphs built with a QTextCursor from decoded text and formats "
                            "(no RTF to read), then a repaint; medians of 3")
                 .arg(paragraphs));
    }

    void Big()
    {
        constexpr double kCapMs = 150000;
        for (const Side* side : sides_) {
            QElapsedTimer clock;
            clock.start();
            Open(*side, BigPath(dir_));
            const double opened = Ms(clock);
            Emit("big-open", side->name, opened);
            QString shown;
            const double jump = CtrlEndMs(*side, &shown);
            Emit("big-ctrl-end", side->name, jump, QStringLiteral("status \"%1\"").arg(shown));
            const Quiet quiet = RunUntilQuiet(*side, kCapMs);
            // Whatever the background left undone is done now, in one stall.
            const double forced = ForceLayoutMs(*side);
            // Laid out when the background work ended (the quiet ticks after it are not
            // layout time), plus what had to be forced.
            const double laidOut = opened + jump + quiet.busyUntilMs + forced;
            QString note;
            if (quiet.capped)
                note = QStringLiteral("stopped waiting for the background at %1 s; ").arg(kCapMs / 1000);
            note += forced > 5 ? QStringLiteral("the rest forced in %1 ms").arg(forced, 0, 'f', 0)
                               : QStringLiteral("done in the background");
            Emit("big-laid-out", side->name, laidOut, note);
            Emit("big-stall", side->name, std::max(quiet.longestGapMs, forced));
            Emit("big-memory", side->name, PeakMemoryMiB());
        }
    }

    void OneParagraph()
    {
        for (const Side* side : sides_) {
            QElapsedTimer timer;
            timer.start();
            Open(*side, ParagraphPath(dir_));
            Emit("para-open", side->name, Ms(timer));
            QString shown;
            const double jump = CtrlEndMs(*side, &shown);
            Emit("para-ctrl-end", side->name, jump, QStringLiteral("status \"%1\"").arg(shown));
            Settle(*side, 60000);
            std::vector<double> keys;
            for (int i = 0; i < 5; ++i) {
                side->setCaret(0);
                side->EventsAndRepaint();
                keys.push_back(side->TypedKeyMs());
                // One slow key is figure enough.
                if (keys.back() > 2000)
                    break;
            }
            Emit("para-key", side->name, Median(keys),
                 keys.size() < 5 ? QStringLiteral("one key: slow keys are not repeated") : QStringLiteral("median of 5"));
        }
    }

    // Memory held while reading through a paragraph of megabytes and editing it, and
    // how long the edits take.
    void ParagraphEdits()
    {
        for (const Side* side : sides_) {
            Open(*side, ParagraphPath(dir_));
            Settle(*side, 60000);
            side->setCaret(0);
            for (int i = 0; i < 2000; ++i) {
                side->Key(Qt::Key_PageDown);
                if (i % 50 == 0) {
                    side->EventsAndRepaint();
                }
            }
            side->Key(Qt::Key_End, Qt::ControlModifier);
            side->EventsAndRepaint();
            Emit("para-memory-move", side->name, PeakMemoryMiB());

            std::unique_ptr<Stopwatch> watch = std::make_unique<Stopwatch>();
            const QString needle = QString::fromLatin1(kNeedle);
            const int count = side == &editor_ ? ReplaceAllInDocument(*edit_, needle, QStringLiteral("pin"), TSearchTypes{})
                                               : ReplaceAllInPlainEdit(needle, QStringLiteral("pin"));
            side->EventsAndRepaint();
            Emit("para-replace", side->name, watch->Ms(), QStringLiteral("%1 replaced, %2").arg(count).arg(watch->CpuNote()));
            Settle(*side, 60000);
            watch = std::make_unique<Stopwatch>();
            if (side == &editor_)
                edit_->Undo();
            else
                floor_.undo();
            side->EventsAndRepaint();
            Emit("para-replace-undo", side->name, watch->Ms(), watch->CpuNote());
            Settle(*side, 60000);

            side->setCaret(side->length() / 2);
            side->EventsAndRepaint();
            side->TypedKeyMs();
            // Where the time of the first move goes: the key itself, the events it left,
            // the repaint.
            QElapsedTimer move;
            move.start();
            side->Key(Qt::Key_Right);
            const double key = Ms(move);
            QCoreApplication::processEvents();
            const double events = Ms(move);
            side->Repaint();
            const double total = Ms(move);
            Emit("para-first-move", side->name, total,
                 QStringLiteral("key %1 ms, events %2 ms, repaint %3 ms")
                     .arg(key, 0, 'f', 1)
                     .arg(events - key, 0, 'f', 1)
                     .arg(total - events, 0, 'f', 1));
            Emit("para-memory", side->name, PeakMemoryMiB());
        }
    }

    // The first caret move after a key typed in the middle of one long paragraph, for
    // each kind of move: the key (or click), the events it leaves, and a repaint.
    void ParagraphMoves()
    {
        struct Move {
            const char* name;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
        };
        const Move moves[] = {{"Left", Qt::Key_Left, Qt::NoModifier},       {"Right", Qt::Key_Right, Qt::NoModifier},
                              {"Up", Qt::Key_Up, Qt::NoModifier},           {"Down", Qt::Key_Down, Qt::NoModifier},
                              {"Home", Qt::Key_Home, Qt::NoModifier},       {"End", Qt::Key_End, Qt::NoModifier},
                              {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier},
                              {"PageDown", Qt::Key_PageDown, Qt::NoModifier}, {"click", Qt::Key_unknown, Qt::NoModifier}};
        for (const Side* side : sides_) {
            Open(*side, ParagraphPath(dir_));
            Settle(*side, 60000);
            std::vector<double> times;
            QStringList each;
            for (const Move& move : moves) {
                side->setCaret(side->length() / 2);
                side->EventsAndRepaint();
                side->TypedKeyMs();
                const Stopwatch watch;
                if (move.key == Qt::Key_unknown)
                    QTest::mouseClick(side->area->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
                else
                    side->Key(move.key, move.modifiers);
                side->EventsAndRepaint();
                times.push_back(watch.Ms());
                each << QStringLiteral("%1 %2 ms (%3)").arg(QLatin1String(move.name)).arg(times.back(), 0, 'f', 1).arg(watch.CpuNote());
            }
            Emit("para-move-median", side->name, Median(times), each.join(QStringLiteral(", ")));
            Emit("para-move-worst", side->name, *std::max_element(times.begin(), times.end()));
        }
    }

    // Paragraph and character formats applied to the whole of one long paragraph, as
    // the toolbar applies them; the floor through its QTextCursor.
    void ParagraphFormats()
    {
        for (const Side* side : sides_) {
            Open(*side, ParagraphPath(dir_));
            Settle(*side, 60000);
            side->setCaret(side->length() / 2);
            side->EventsAndRepaint();
            const auto measure = [&](const char* metric, const std::function<void()>& editor,
                                     const std::function<void(QTextCursor&)>& floor) {
                const Stopwatch watch;
                if (side == &editor_) {
                    editor();
                } else {
                    QTextCursor cursor = floor_.textCursor();
                    floor(cursor);
                    floor_.setTextCursor(cursor);
                }
                side->EventsAndRepaint();
                Emit(metric, side->name, watch.Ms(), watch.CpuNote());
                Settle(*side, 60000);
            };
            measure("para-align", [this]() { edit_->Paragraph().SetAlignment(taCenter); },
                    [](QTextCursor& cursor) {
                        QTextBlockFormat format;
                        format.setAlignment(Qt::AlignHCenter);
                        cursor.mergeBlockFormat(format);
                    });
            measure("para-indent", [this]() { edit_->Paragraph().SetLeftIndent(40); },
                    [](QTextCursor& cursor) {
                        QTextBlockFormat format;
                        format.setLeftMargin(40);
                        cursor.mergeBlockFormat(format);
                    });
            measure("para-bullet", [this]() { edit_->Paragraph().SetNumbering(nsBullet); },
                    [](QTextCursor& cursor) { cursor.createList(QTextListFormat::ListDisc); });
            const auto bold = [this](bool on) {
                return [this, on]() {
                    edit_->selectAll();
                    edit_->SelAttributes().SetStyle({on, false, false, false});
                };
            };
            const auto floorBold = [](bool on) {
                return [on](QTextCursor& cursor) {
                    cursor.select(QTextCursor::Document);
                    QTextCharFormat format;
                    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
                    cursor.mergeCharFormat(format);
                };
            };
            // The first bold also loads the bold font and draws its glyphs for the
            // first time, as in any document; the second shows the layout's own cost.
            measure("para-bold", bold(true), floorBold(true));
            measure("para-unbold", bold(false), floorBold(false));
            measure("para-bold-again", bold(true), floorBold(true));
        }
    }

    // A long paragraph of many format runs, as a long RTF paragraph of mixed formatting
    // has: every other stretch of 32 characters made bold, in one edit block.
    void ParagraphRuns()
    {
        for (const Side* side : sides_) {
            Open(*side, ParagraphPath(dir_));
            QTextEdit* view = side == &editor_ ? static_cast<QTextEdit*>(edit_) : &floor_;
            QTextCursor cursor(view->document());
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            cursor.beginEditBlock();
            const int paragraphEnd = view->document()->firstBlock().length() - 1;
            for (int at = 0; at + 32 < paragraphEnd; at += 64) {
                cursor.setPosition(at);
                cursor.setPosition(at + 32, QTextCursor::KeepAnchor);
                cursor.mergeCharFormat(bold);
            }
            cursor.endEditBlock();
            Settle(*side, 60000);
            // The end of the paragraph (the file's line break ends it).
            side->setCaret(view->document()->firstBlock().length() - 1);
            side->EventsAndRepaint();
            Settle(*side, 60000);
            // Slow keys are not repeated.
            std::vector<double> keys;
            for (int i = 0; i < (side == &editor_ ? 5 : 1); ++i)
                keys.push_back(side->TypedKeyMs());
            Emit("para-runs-key", side->name, Median(keys),
                 keys.size() > 1 ? QStringLiteral("median of 5") : QStringLiteral("one key"));
        }
    }

    QString dir_;
    std::unique_ptr<WindowSetFixture> fixture_;
    TRichEdit* edit_ = nullptr;
    QTextEdit floor_;
    QLabel floorStatus_;
    Side editor_;
    Side plain_;
    std::vector<const Side*> sides_;
    bool ok_ = false;
};

int RunChild(int argc, char* argv[])
{
    // bench_layout --child GROUP SIDES DIR
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5)
        return 2;
    Child child(args[4], args[3]);
    if (!child.ok()) {
        std::fprintf(stderr, "bench_layout: the windows did not show\n");
        return 1;
    }
    return child.Run(args[2]);
}

// --- The parent: runs the children and prints the table -------------------------------

struct Value {
    double value = 0;
    QString note;
    bool present = false;
};

QString Format(Unit unit, double value)
{
    switch (unit) {
    case Unit::YesNo:
        return value > 0.5 ? QStringLiteral("yes") : QStringLiteral("no");
    case Unit::MiB:
        return QStringLiteral("%1 MiB").arg(value, 0, 'f', 0);
    case Unit::Ms:
        break;
    }
    if (value >= 1000)
        return QStringLiteral("%1 s").arg(value / 1000, 0, 'f', 2);
    if (value >= 10)
        return QStringLiteral("%1 ms").arg(value, 0, 'f', 1);
    return QStringLiteral("%1 ms").arg(value, 0, 'f', 2);
}

// Runs one child to its end or its cap; its figures go into values, its notes into notes.
void RunOne(const Group& group, const QString& sides, const QString& dir, QMap<QString, Value>& values,
            QStringList& notes)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--child"), QString::fromLatin1(group.name), sides, dir});
    QElapsedTimer timer;
    timer.start();
    const auto readLines = [&]() {
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).chopped(1);
            const QStringList fields = line.split(QLatin1Char('\t'));
            if (fields.value(0) == QLatin1String("FIG") && fields.size() >= 4) {
                Value& value = values[fields[1] + QLatin1Char('/') + fields[2]];
                value.value = fields[3].toDouble();
                value.note = fields.value(4);
                value.present = true;
            } else if (fields.value(0) == QLatin1String("SETUP")) {
                // The same in every child: shown once.
                static bool shown = false;
                if (!shown)
                    std::printf("editor: %s\n", qPrintable(fields.value(1)));
                shown = true;
            } else if (fields.value(0) == QLatin1String("NOTE")) {
                notes << fields.value(1);
            } else {
                std::printf("  [%s] %s\n", group.name, qPrintable(line));
            }
        }
    };
    bool capped = false;
    while (!process.waitForFinished(200)) {
        readLines();
        if (process.state() == QProcess::NotRunning)
            break;
        if (timer.elapsed() > group.capSeconds * 1000) {
            capped = true;
            process.kill();
            process.waitForFinished();
            break;
        }
    }
    readLines();
    if (capped)
        notes << QStringLiteral("%1 side stopped at the cap of %2 s; figures it had not printed are missing")
                     .arg(sides == QLatin1String("both") ? QStringLiteral("this") : sides)
                     .arg(group.capSeconds);
    else if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        notes << QStringLiteral("%1 run ended with status %2").arg(sides).arg(process.exitCode());
}

void PrintGroup(const Group& group, const QMap<QString, Value>& values, const QStringList& notes, double seconds)
{
    std::printf("\n[%s] %s  (%.0f s)\n", group.name, group.what, seconds);
    for (const Metric& metric : group.metrics) {
        const Value editor = values.value(QString::fromLatin1(metric.id) + QStringLiteral("/editor"));
        const Value floor = values.value(QString::fromLatin1(metric.id) + QStringLiteral("/floor"));
        const QString e = editor.present ? Format(metric.unit, editor.value) : QStringLiteral("(none)");
        const QString f = floor.present ? Format(metric.unit, floor.value) : QStringLiteral("(none)");
        QString ratio = QStringLiteral("-");
        if (metric.unit != Unit::YesNo && editor.present && floor.present && floor.value > 0)
            ratio = QStringLiteral("%1x").arg(editor.value / floor.value, 0, 'f', 1);
        QString verdict;
        if (metric.target > 0 && editor.present) {
            const bool meets = metric.unit == Unit::YesNo ? editor.value > 0.5 : editor.value <= metric.target;
            verdict = meets ? QStringLiteral("meets") : QStringLiteral("MISSES");
        }
        std::printf("  %-42s %11s %11s %7s  %-10s %s\n", metric.label, qPrintable(e), qPrintable(f), qPrintable(ratio),
                    metric.targetText, qPrintable(verdict));
        for (const Value* value : {&editor, &floor})
            if (value->present && !value->note.isEmpty())
                std::printf("  %-42s   %s: %s\n", "", value == &editor ? "editor" : "floor", qPrintable(value->note));
    }
    for (const QString& note : notes)
        std::printf("  note: %s\n", qPrintable(note));
    std::fflush(stdout);
}

int RunParent(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QStringList names = QCoreApplication::arguments().mid(1);
    if (names.contains(QStringLiteral("--list"))) {
        for (const Group& group : Groups())
            std::printf("%-11s %s\n", group.name, group.what);
        return 0;
    }
    if (names.isEmpty())
        for (const Group& group : Groups())
            names << QString::fromLatin1(group.name);
    for (const QString& name : names)
        if (!FindGroup(name)) {
            std::fprintf(stderr, "bench_layout: no group %s (see --list)\n", qPrintable(name));
            return 2;
        }

    QElapsedTimer total;
    total.start();
    // BENCH_LAYOUT_DATA names a folder that keeps the documents between runs.
    QTemporaryDir temporary;
    const QString dir = qEnvironmentVariableIsSet("BENCH_LAYOUT_DATA") ? qEnvironmentVariable("BENCH_LAYOUT_DATA")
                                                                       : temporary.path();
    if (!QDir().mkpath(dir) || !GenerateDocuments(dir, names)) {
        std::fprintf(stderr, "bench_layout: cannot write the documents\n");
        return 1;
    }
    // Qt warns in every child when there is no runtime folder; give them one.
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        const QString runtime = temporary.path() + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    // The load average tells how busy the shared machine was when the run began.
    std::printf("Qt %s, platform %s, load average %s\n", qVersion(), qgetenv("QT_QPA_PLATFORM").constData(),
                ReadFile(QStringLiteral("/proc/loadavg")).split(' ').mid(0, 3).join(' ').constData());
    std::printf("figures: Tesserine's editor, a plain QTextEdit doing the same job (the floor), their ratio, the target\n");
    std::printf("  %-42s %11s %11s %7s  %-10s\n", "row", "Tesserine", "QTextEdit", "ratio", "target");
    for (const QString& name : names) {
        const Group& group = *FindGroup(name);
        QElapsedTimer timer;
        timer.start();
        QMap<QString, Value> values;
        QStringList notes;
        if (group.splitSides) {
            RunOne(group, QStringLiteral("editor"), dir, values, notes);
            RunOne(group, QStringLiteral("floor"), dir, values, notes);
        } else {
            RunOne(group, QStringLiteral("both"), dir, values, notes);
        }
        PrintGroup(group, values, notes, timer.elapsed() / 1000.0);
    }
    std::printf("\nwhole run: %.0f s\n", total.elapsed() / 1000.0);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return RunChild(argc, argv);
    return RunParent(argc, argv);
}
