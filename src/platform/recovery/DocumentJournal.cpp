#include "platform/recovery/DocumentJournal.h"

#include "platform/recovery/DocumentJournalCodec.h"
#include "platform/recovery/JournalWriter.h"

#include <QElapsedTimer>
#include <QTextDocument>
#include <QTextEdit>

namespace {

// A snapshot slice carries at most this many characters, and the slices of one turn of
// the event loop take about this long and hand the writer at most this many bytes at a
// time: a buffer well below the allocator's own-pages threshold is taken from memory
// used before, where a bigger one would cost a page fault per 4 KiB.
constexpr int kSliceCharacters = 32 * 1024;
constexpr int kSliceMs = 4;
constexpr qint64 kSliceBytes = 512 * 1024;
// The first slice of a snapshot an edit starts waits this long, so that the edit is
// shown first.
constexpr int kFirstSliceDelayMs = 50;
// A change that adds more characters than this is taken in by a snapshot.
constexpr int kLargeChange = 64 * 1024;

int ContentLength(const QTextDocument* doc)
{
    return doc->characterCount() - 1;
}

} // namespace

TDocumentJournal::TDocumentJournal(QTextEdit* edit, const TRecoveryStore& store)
    : edit_(edit)
    , store_(store)
{
    writer_ = std::make_unique<TJournalWriter>([this](const QString& reason, int generation) {
        QMetaObject::invokeMethod(this, [this, reason, generation]() { WriterFailed(reason, generation); },
                                  Qt::QueuedConnection);
    });
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kFlushDelayMs);
    connect(&flushTimer_, &QTimer::timeout, this, &TDocumentJournal::Flush);
    sliceTimer_.setSingleShot(true);
    sliceTimer_.setInterval(0);
    connect(&sliceTimer_, &QTimer::timeout, this, [this]() { SnapshotSlice(false); });
    connect(edit_->document(), &QTextDocument::contentsChange, this, &TDocumentJournal::ContentsChanged);
}

TDocumentJournal::~TDocumentJournal()
{
    Flush();
    writer_->Close();
    writer_.reset();
    for (TRecoverySet& replaced : replaced_)
        TRecoveryStore::Release(replaced);
}

bool TDocumentJournal::Active() const
{
    return current_ || pending_;
}

qint64 TDocumentJournal::Size() const
{
    return current_ ? current_->Size() : pending_ ? pending_->Size() : 0;
}

void TDocumentJournal::SetCompaction(qint64 minimumBytes, int factor)
{
    compactMinimum_ = minimumBytes;
    compactFactor_ = factor;
}

void TDocumentJournal::SetState(const QByteArray& state)
{
    if (state == state_)
        return;
    state_ = state;
    if (current_)
        current_->AppendState(state_);
    if (pending_)
        pending_->AppendState(state_);
    if (Active())
        ScheduleFlush();
}

void TDocumentJournal::SetBase(const QByteArray& base)
{
    base_ = base;
}

bool TDocumentJournal::Start(int lengthBefore)
{
    // The writer makes the set's files: nothing here waits for the disk.
    set_ = store_.NewSet();
    writer_->OpenSet(set_, store_);
    if (!base_.isEmpty()) {
        // Whole from the start: the base, then every change.
        current_ = std::make_unique<TJournalStream>();
        current_->AppendState(state_);
        current_->AppendBase(base_, lengthBefore);
        writer_->OpenCurrent(set_.journalPath);
        base_.clear();
    }
    StartSnapshot(kFirstSliceDelayMs);
    return true;
}

void TDocumentJournal::StartSnapshot(int delayMs)
{
    pending_ = std::make_unique<TJournalStream>();
    pending_->AppendState(state_);
    snapshotLength_ = 0;
    writer_->OpenPending(set_.pendingPath);
    sliceTimer_.start(delayMs);
}

void TDocumentJournal::SnapshotSlice(bool untilDone)
{
    if (!pending_)
        return;
    const QTextDocument* doc = edit_->document();
    QElapsedTimer clock;
    clock.start();
    qint64 handedAt = pending_->Size();
    while (snapshotLength_ < ContentLength(doc)) {
        const int end = int(qMin<qint64>(qint64(snapshotLength_) + kSliceCharacters, ContentLength(doc)));
        pending_->AppendReplace(*doc, snapshotLength_, 0, end);
        snapshotLength_ = end;
        const bool full = pending_->Size() - handedAt >= kSliceBytes;
        if (untilDone && full) {
            writer_->AppendPending(pending_->Take());
            handedAt = pending_->Size();
        } else if (!untilDone && (full || clock.elapsed() >= kSliceMs)) {
            writer_->AppendPending(pending_->Take());
            sliceTimer_.start(0);
            return;
        }
    }
    // The snapshot is whole: it replaces the journal in use, which is closed.
    lastCaret_ = edit_->textCursor().position();
    lastLength_ = ContentLength(doc);
    pending_->AppendCaret(lastCaret_, lastLength_);
    writer_->AppendPending(pending_->Take());
    writer_->CommitPending(set_.journalPath);
    current_ = std::move(pending_);
    for (const TRecoverySet& replaced : replaced_)
        writer_->Forget(replaced);
    replaced_.clear();
}

void TDocumentJournal::ContentsChanged(int pos, int removed, int added)
{
    if (paused_ > 0 || failed_) {
        base_.clear();
        return;
    }
    const int length = ContentLength(edit_->document());
    if (!Active() && !Start(qMax(0, length - added + removed)))
        return;
    const int to = qMin(pos + added, length);
    // A large change (Replace All, a big paste, their undo) is not copied here, which
    // would cost in proportion to it: a snapshot written in slices takes it in. The
    // journal on disk keeps the document as it was before, until the snapshot is whole.
    const bool large = to - pos > kLargeChange;
    if (current_ && large) {
        writer_->AppendCurrent(current_->Take());
        writer_->Sync();
        current_.reset();
        if (!pending_)
            StartSnapshot(kFirstSliceDelayMs);
    } else if (current_) {
        current_->AppendReplace(*edit_->document(), pos, removed, to);
    }
    if (pending_ && pos < snapshotLength_) {
        // The pending snapshot holds [0, snapshotLength_): a change there is recorded,
        // a change beyond it will be in a later slice. A large one cuts the snapshot
        // back to where it starts, and the slices copy it.
        const int oldEnd = pos + removed;
        if (large) {
            pending_->AppendReplace(*edit_->document(), pos, snapshotLength_ - pos, pos);
            snapshotLength_ = pos;
        } else {
            pending_->AppendReplace(*edit_->document(), pos, qMin(oldEnd, snapshotLength_) - pos, to);
            snapshotLength_ = qMin(length, to + qMax(0, snapshotLength_ - oldEnd));
        }
    }
    ScheduleFlush();
}

void TDocumentJournal::ScheduleFlush()
{
    if (!flushTimer_.isActive())
        flushTimer_.start();
}

void TDocumentJournal::Flush()
{
    flushTimer_.stop();
    if (!Active())
        return;
    const int caret = edit_->textCursor().position();
    const int length = ContentLength(edit_->document());
    if (caret != lastCaret_ || length != lastLength_) {
        lastCaret_ = caret;
        lastLength_ = length;
        (current_ ? current_ : pending_)->AppendCaret(caret, length);
    }
    if (current_)
        writer_->AppendCurrent(current_->Take());
    if (pending_)
        writer_->AppendPending(pending_->Take());
    writer_->Sync();
    CompactIfLarge();
}

void TDocumentJournal::CompactIfLarge()
{
    if (!current_ || pending_ || failed_)
        return;
    const qint64 documentBytes = 2 * qint64(ContentLength(edit_->document()));
    if (current_->Size() > qMax(compactMinimum_, compactFactor_ * documentBytes))
        StartSnapshot(0);
}

void TDocumentJournal::Settle(bool finishSnapshot)
{
    // A flush may start a compaction, which is finished here too.
    Flush();
    if (finishSnapshot) {
        sliceTimer_.stop();
        SnapshotSlice(true);
        Flush();
    }
    writer_->Wait();
}

void TDocumentJournal::Adopt(TRecoverySet replaced)
{
    replaced_.push_back(replaced);
    if (!Active() && !failed_)
        Start(ContentLength(edit_->document()));
}

void TDocumentJournal::Discard()
{
    flushTimer_.stop();
    sliceTimer_.stop();
    current_.reset();
    pending_.reset();
    if (!set_.id.isEmpty()) {
        writer_->RemoveSet(set_);
        ++generation_;
    }
    set_ = TRecoverySet();
    for (const TRecoverySet& replaced : replaced_)
        writer_->Forget(replaced);
    replaced_.clear();
    lastCaret_ = lastLength_ = -1;
    failed_ = false;
}

void TDocumentJournal::Fail(const QString& reason)
{
    if (failed_)
        return;
    failed_ = true;
    flushTimer_.stop();
    sliceTimer_.stop();
    current_.reset();
    pending_.reset();
    // Reported between events (the writer's report is queued), never inside the
    // document's change signal: the message may open a dialog.
    if (OnFailure)
        OnFailure(reason);
}

void TDocumentJournal::WriterFailed(const QString& reason, int generation)
{
    if (generation == generation_)
        Fail(reason);
}
