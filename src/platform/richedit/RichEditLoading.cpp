// Loading a big plain-text file in slices: its start first, so that it shows at once,
// then the rest between events.
#include "platform/richedit/RichEdit.h"

#include "platform/layout/DocumentLayout.h"
#include "platform/forms/HandlerBoundary.h"
#include "platform/forms/MessageBox.h"
#include "platform/text/ReasonSentence.h"
#include "platform/richedit/RichEditLoading.h"
#include "platform/text/Utf16Text.h"

#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

namespace {

// The start shown before LoadFromFile returns: many screenfuls, and little enough to
// decode and lay out in a few milliseconds.
constexpr qsizetype kFirstPieceBytes = 32 * 1024;
// Bytes decoded at once between appends, and read at once from the file.
constexpr qsizetype kPieceBytes = 256 * 1024;
constexpr qint64 kReadBytes = 1024 * 1024;
// A slice appends for about this long, one append taking about kAppendNs, so that the
// window answers within a frame.
constexpr qint64 kSliceNs = 6'000'000;
constexpr qint64 kAppendNs = 2'000'000;
constexpr qsizetype kMinBatchChars = 4 * 1024;
constexpr qsizetype kMaxBatchChars = 4 * 1024 * 1024;

// The end of the next batch of text: about `size` characters on from `from`, after a
// line break when there is one before the text's end.
qsizetype BatchEnd(const QString& text, qsizetype from, qsizetype size)
{
    if (text.size() - from <= size)
        return text.size();
    const qsizetype lineEnd = text.indexOf(u'\n', from + size - 1);
    return lineEnd < 0 ? text.size() : lineEnd + 1;
}

} // namespace

QString UndecodableBytesWarning(const QString& path, const QByteArray& encoding)
{
    return QStringLiteral("Some bytes of \"%1\" are not valid %2 text. They are shown as \uFFFD, "
                          "and saving the file will replace them with that character.")
        .arg(path, QString::fromLatin1(encoding));
}

QString TRichEdit::StartLoading(const QString& path, std::unique_ptr<QFile> file, QByteArray bytes, qsizetype sampleEnd,
                                const QByteArray& encoding)
{
    // The encoding is decided from the sample and kept for the whole file.
    const QByteArray sample = QByteArray::fromRawData(bytes.constData(), sampleEnd);
    const DecodedText decided = encoding.isEmpty() ? DecodeTextFile(sample) : DecodeTextFile(sample, encoding);
    TextFileFormat format = decided.format;
    const qsizetype bodyStart = ByteOrderMarkLength(format);
    const qsizetype size = bytes.size();
    TTextPieces pieces = file ? TTextPieces(std::move(bytes), bodyStart, format.encoding, file->size())
                              : TTextPieces(std::move(bytes), bodyStart, size, format.encoding);
    format.incompleteUnit = pieces.IncompleteUnit();

    ReplaceWithPlainText(pieces.Next(kFirstPieceBytes));
    PlainTextFormat = format;
    EncodingUnsure = decided.unsure;
    OtherLikelyEncodings = decided.alternatives;
    const QString warning = pieces.HadUndecodableBytes() ? UndecodableBytesWarning(path, format.encoding) : QString();
    if (pieces.AtEnd())
        return warning;

    load_ = std::make_unique<TLoadInProgress>(std::move(pieces), path);
    load_->file = std::move(file);
    load_->warned = !warning.isEmpty();
    load_->interaction = textInteractionFlags();
    // Read-only, but the caret still moves, so that the status bar's line and column
    // follow it as they do in any document.
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The load is no edit the user could undo; nothing is recorded meanwhile.
    document()->setUndoRedoEnabled(false);
    // The load's slices take the time between events; the background layout of what
    // is not shown follows once the whole file is in.
    layout_->HoldBackgroundLayout(true);
    // Paragraphs for the whole file, reckoned from its start: the layout's tables then
    // grow without copying themselves over and over, which would stall the window.
    const double share = double(load_->pieces.Size()) / std::max<qsizetype>(1, load_->pieces.Decoded());
    layout_->ReserveParagraphs(static_cast<int>(std::min(1e9, document()->blockCount() * share * 1.1 + 64)));
    ScheduleLoadSlice();
    return warning;
}

bool TRichEdit::ReadMoreOfFile(bool all)
{
    TLoadInProgress& load = *load_;
    if (!load.file) {
        load.pieces.Supply(QByteArrayView(), true);
        return true;
    }
    QFile& file = *load.file;
    const QByteArray bytes = all ? file.readAll() : file.read(kReadBytes);
    if (file.error() == QFileDevice::NoError) {
        load.pieces.Supply(bytes, bytes.isEmpty() || file.atEnd());
        return true;
    }
    // Part of a file is not the file: saved, it would cut the file short.
    const QString message = QStringLiteral("Cannot read file \"%1\". %2 The document was emptied, as it held only "
                                           "part of the file.")
                                .arg(load.path, ReasonSentence(file.errorString()));
    StopLoading();
    if (all)
        throw EFileError(message);
    QTimer::singleShot(0, this, [this, message]() { MessageBox(window(), message, QStringLiteral("Tesserine"), MB_OK); });
    return false;
}

void TRichEdit::ScheduleLoadSlice()
{
    const int generation = ++loadGeneration_;
    QTimer::singleShot(0, this, [this, generation]() {
        if (generation == loadGeneration_)
            LoadSlice(kSliceNs);
    });
}

void TRichEdit::FinishLoading()
{
    if (load_)
        LoadSlice(-1);
}

void TRichEdit::StopLoading()
{
    if (!load_)
        return;
    EndLoad(false);
    ReplaceWithPlainText(QString());
}

void TRichEdit::LoadSlice(qint64 budgetNs)
{
    QElapsedTimer timer;
    timer.start();
    TLoadInProgress& load = *load_;
    while (budgetNs < 0 || timer.nsecsElapsed() < budgetNs) {
        if (load.pendingAt >= load.pending.size()) {
            if (load.pieces.AtEnd())
                break;
            // Finishing at once, everything left is decoded and appended in one go.
            load.pending = load.pieces.Next(budgetNs < 0 ? load.pieces.Size() : kPieceBytes);
            load.pendingAt = 0;
            if (load.pieces.Starved() && !ReadMoreOfFile(budgetNs < 0))
                return;
            continue;
        }
        const qsizetype size = budgetNs < 0 ? load.pending.size() : load.batchChars;
        const qsizetype end = BatchEnd(load.pending, load.pendingAt, size);
        const qint64 before = timer.nsecsElapsed();
        AppendLoaded(load.pending.mid(load.pendingAt, end - load.pendingAt));
        const qint64 took = std::max<qint64>(1, timer.nsecsElapsed() - before);
        const qsizetype appended = end - load.pendingAt;
        load.pendingAt = end;
        if (budgetNs >= 0 && appended >= load.batchChars / 2)
            load.batchChars = std::clamp<qsizetype>(qsizetype(double(appended) * kAppendNs / took), kMinBatchChars, kMaxBatchChars);
    }
    const bool done = load.pieces.AtEnd() && load.pendingAt >= load.pending.size();
    if (load.pieces.HadUndecodableBytes() && !load.warned) {
        load.warned = true;
        // Shown from the event loop: the message box's own loop must not run inside
        // this slice, which the user may end by closing the window.
        const QString warning = UndecodableBytesWarning(load.path, PlainTextFormat.encoding);
        QTimer::singleShot(0, this, [this, warning]() { MessageBox(window(), warning, QStringLiteral("Tesserine"), MB_OK); });
    }
    if (done) {
        PlainTextFormat.incompleteUnit = load.pieces.IncompleteUnit();
        EndLoad(true);
        return;
    }
    if (OnLoadProgress) {
        const double pendingShare = load.pending.isEmpty() ? 0 : double(load.pending.size() - load.pendingAt) / load.pending.size();
        const double left = pendingShare * kPieceBytes;
        const int percent = static_cast<int>(100.0 * std::max(0.0, load.pieces.Decoded() - left) / std::max<qsizetype>(1, load.pieces.Size()));
        RunHandler(window(), [this, percent]() { OnLoadProgress(percent); });
    }
    if (budgetNs >= 0)
        ScheduleLoadSlice();
}

void TRichEdit::AppendLoaded(const QString& text)
{
    // The document moves a cursor standing where text is inserted along with it.
    const int anchor = textCursor().anchor();
    const int position = textCursor().position();
    appendingLoaded_ = true;
    holdSelectionReports_ = true;
    // Nobody is told of a change of the text: the file is still the one read.
    const QSignalBlocker quiet(this);
    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(text, QTextCharFormat());
    if (textCursor().position() != position || textCursor().anchor() != anchor) {
        QTextCursor kept(document());
        kept.setPosition(anchor);
        kept.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(kept);
    }
    holdSelectionReports_ = false;
    appendingLoaded_ = false;
}

void TRichEdit::EndLoad(bool whole)
{
    if (!load_)
        return;
    const std::unique_ptr<TLoadInProgress> load = std::move(load_);
    ++loadGeneration_;
    setTextInteractionFlags(load->interaction);
    document()->setUndoRedoEnabled(true);
    layout_->HoldBackgroundLayout(false);
    if (OnLoadEnd)
        RunHandler(window(), [this, whole]() { OnLoadEnd(whole); });
}
