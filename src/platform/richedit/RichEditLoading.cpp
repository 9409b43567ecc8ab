// Loading a big file in slices: its start first, so that it shows at once, then the
// rest between events.
#include "platform/richedit/RichEdit.h"

#include "platform/layout/DocumentLayout.h"
#include "platform/forms/HandlerBoundary.h"
#include "platform/forms/MessageBox.h"
#include "platform/richedit/RichEditLoading.h"
#include "platform/richedit/RtfFileLoad.h"
#include "platform/richedit/TextFileLoad.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/text/ReasonSentence.h"

#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

namespace {

// The start shown before LoadFromFile returns: many screenfuls, and little enough to
// decode and lay out in a few milliseconds.
constexpr qsizetype kFirstPieceBytes = 32 * 1024;
// A slice loads for about this long, so that the window answers within a frame.
constexpr qint64 kSliceNs = 6'000'000;

// Shows text in a message box from the event loop: the box's own loop must not run
// inside a slice, which the user may end by closing the window.
void TellLater(QWidget* edit, const QString& text)
{
    QTimer::singleShot(0, edit, [edit, text]() { MessageBox(edit->window(), text, QStringLiteral("Tesserine"), MB_OK); });
}

} // namespace

QString UndecodableBytesWarning(const QString& path, const QByteArray& encoding)
{
    return QStringLiteral("Some bytes of \"%1\" are not valid %2 text. They are shown as \uFFFD, "
                          "and saving the file will replace them with that character.")
        .arg(path, QString::fromLatin1(encoding));
}

QString PartlyReadFailure(const QString& path, const QString& reason)
{
    // Part of a file is not the file: saved, it would cut the file short.
    return QStringLiteral("Cannot read file \"%1\". %2 The document was emptied, as it held only part of the file.")
        .arg(path, ReasonSentence(reason));
}

QString UnkeptContentWarning(const QString& path, const QStringList& unkept)
{
    return QString::fromUtf8("ファイル \"%1\" には、Tesserine では保持できない次の内容があります: %2。"
                             "文書にはそれ以外の内容が表示されます。保存すると、これらは失われるか変更されます。")
        .arg(path, JoinUnkept(unkept));
}

QString TRichEdit::StartLoading(const QString& path, std::unique_ptr<QFile> file, QByteArray bytes, qsizetype sampleEnd,
                                const QByteArray& encoding, const QByteArray& furtherSample)
{
    // The encoding is decided from the sample and kept for the whole file.
    const QByteArray sample =
        furtherSample.isEmpty() ? QByteArray::fromRawData(bytes.constData(), sampleEnd) : furtherSample;
    const DecodedText decided = encoding.isEmpty() ? DecodeTextFile(sample) : DecodeTextFile(sample, encoding);
    TextFileFormat format = decided.format;
    // A sample from further in says nothing of how the first line ends.
    if (!furtherSample.isEmpty())
        format.lineEnding = FirstLineBreakStyle(QByteArrayView(bytes).first(sampleEnd));
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
    BeginLoad(std::make_unique<TTextFileLoad>(path, std::move(pieces), std::move(file), *document(), PlainTextFormat,
                                              !warning.isEmpty()));
    return warning;
}

QString TRichEdit::StartRtfLoading(const QString& path, const QByteArray& bytes, std::unique_ptr<QFile> file)
{
    EndLoad(false);
    EncodingUnsure = false;
    OtherLikelyEncodings.clear();
    std::unique_ptr<TRtfFileLoad> load;
    {
        // Emptying the document and reading its start is no edit either.
        const TLoadedTextGuard guard(*this);
        const qint64 rest = file ? file->size() - file->pos() : 0;
        load = std::make_unique<TRtfFileLoad>(path, bytes, std::move(file), rest, *document(), PixelsPerInch(),
                                              UnkeptOnSave);
    }
    setTextCursor(QTextCursor(document()));
    SetModified(false);
    lastAnchor_ = -1;
    SelectionMoved();
    if (!load->Failure().isEmpty()) {
        const QString failure = load->Failure();
        load.reset();
        UnkeptOnSave.clear();
        ReplaceWithPlainText(QString());
        throw EFileError(failure);
    }
    if (load->AtEnd())
        return load->TakeWarning();
    BeginLoad(std::move(load));
    return QString();
}

void TRichEdit::BeginLoad(std::unique_ptr<TLoadInProgress> load)
{
    load_ = std::move(load);
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
    const double expected = load_->ExpectedParagraphs(document()->blockCount());
    layout_->ReserveParagraphs(static_cast<int>(std::min(1e9, expected * 1.1 + 64)));
    ScheduleLoadSlice();
}

TRichEdit::TLoadedTextGuard::TLoadedTextGuard(TRichEdit& edit)
    : edit_(edit), anchor_(edit.textCursor().anchor()), position_(edit.textCursor().position())
{
    edit_.appendingLoaded_ = true;
    edit_.holdSelectionReports_ = true;
    // Nobody is told of a change of the text: the file is still the one read.
    edit_.blockSignals(true);
}

TRichEdit::TLoadedTextGuard::~TLoadedTextGuard()
{
    // The document moves a cursor standing where text is inserted along with it.
    const QTextCursor caret = edit_.textCursor();
    const int end = edit_.TextLength();
    if (caret.position() != position_ || caret.anchor() != anchor_) {
        QTextCursor kept(edit_.document());
        kept.setPosition(std::min(anchor_, end));
        kept.setPosition(std::min(position_, end), QTextCursor::KeepAnchor);
        edit_.setTextCursor(kept);
    }
    edit_.blockSignals(false);
    edit_.holdSelectionReports_ = false;
    edit_.appendingLoaded_ = false;
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
    TLoadInProgress::Step step;
    {
        const TLoadedTextGuard guard(*this);
        step = load_->LoadOn(budgetNs);
    }
    if (step == TLoadInProgress::Step::Failed) {
        const QString message = load_->Failure();
        StopLoading();
        if (budgetNs < 0)
            throw EFileError(message);
        TellLater(this, message);
        return;
    }
    const QString warning = load_->TakeWarning();
    if (!warning.isEmpty())
        TellLater(this, warning);
    if (step == TLoadInProgress::Step::Done) {
        EndLoad(true);
        return;
    }
    if (OnLoadProgress) {
        const int percent = load_->Percent();
        RunHandler(window(), [this, percent]() { OnLoadProgress(percent); });
    }
    if (budgetNs >= 0)
        ScheduleLoadSlice();
}

void TRichEdit::EndLoad(bool whole)
{
    if (!load_)
        return;
    const Qt::TextInteractionFlags interaction = load_->interaction;
    {
        // A reader stopped early closes what it had begun, which is no edit.
        const TLoadedTextGuard guard(*this);
        load_.reset();
    }
    ++loadGeneration_;
    setTextInteractionFlags(interaction);
    document()->setUndoRedoEnabled(true);
    layout_->HoldBackgroundLayout(false);
    if (OnLoadEnd)
        RunHandler(window(), [this, whole]() { OnLoadEnd(whole); });
}
