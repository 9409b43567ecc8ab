#pragma once
// Keeps a recovery journal of an edit control's document: every change is appended to
// memory at once and handed to a writer thread, which makes it durable within a second.
// The journal is started by the first change after a Discard (its base a snapshot of
// the document, taken in slices between events), compacted by a fresh snapshot when it
// grows past a few times the document, and removed by Discard. Recording a change costs
// in proportion to the change; nothing on that path waits for the disk.
#include "platform/recovery/RecoveryStore.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QTextEdit;
class TJournalStream;
class TJournalWriter;

class TDocumentJournal : public QObject {
    Q_OBJECT
public:
    // Longest time between a change and its flush; the disk's fdatasync comes on top.
    static constexpr int kFlushDelayMs = 250;

    // The journal must be destroyed before edit.
    TDocumentJournal(QTextEdit* edit, const TRecoveryStore& store);
    // Hands what is recorded to the disk and keeps the journal: only Discard removes it.
    ~TDocumentJournal() override;

    // Called once, between events, when the journal cannot be written; the journal then
    // records nothing until Discard.
    std::function<void(const QString& reason)> OnFailure;

    // The owner's state of the document (its name, its file format...), kept with it.
    void SetState(const QByteArray& state);
    // Removes the document's journal; the next change starts a new one.
    void Discard();
    // Tells that the document as it is now can be loaded again as base describes (a
    // file just read or written): the next journal started starts from it, so it is
    // whole from its first change on, before its own snapshot is written. An empty base
    // (or any change not journaled) forgets it.
    void SetBase(const QByteArray& base);
    // Changes made while paused are not recorded (the document is being replaced and a
    // Discard follows).
    void Pause() { ++paused_; }
    void Resume() { --paused_; }
    // Starts a journal of the document as it is now; the replaced set (whose journal the
    // document was recovered from) is deleted once the new journal is on disk.
    void Adopt(TRecoverySet replaced);

    bool Active() const;
    bool Failed() const { return failed_; }
    // A snapshot (a new journal's base, or a compaction) is being written in slices.
    bool Snapshotting() const { return pending_ != nullptr; }
    // Bytes of the journal in use (or of the one being started), flushed or not.
    qint64 Size() const;
    const TRecoverySet& Set() const { return set_; }
    // A journal of more than factor times the document's bytes, and at least minimum
    // bytes, is compacted.
    void SetCompaction(qint64 minimumBytes, int factor);

    // Hands the recorded bytes to the writer (the flush timer calls it).
    void Flush();
    // Finishes a snapshot in progress (unless told not to), flushes and waits until the
    // disk has it all.
    void Settle(bool finishSnapshot = true);

private:
    void ContentsChanged(int pos, int removed, int added);
    // Starts a journal; lengthBefore is the document's length before the change.
    bool Start(int lengthBefore);
    // Starts writing a snapshot in slices, the first after delayMs.
    void StartSnapshot(int delayMs);
    void SnapshotSlice(bool untilDone);
    void ScheduleFlush();
    void Fail(const QString& reason);
    void WriterFailed(const QString& reason, int generation);
    void CompactIfLarge();

    QTextEdit* edit_;
    TRecoveryStore store_;
    TRecoverySet set_;
    std::vector<TRecoverySet> replaced_;
    std::unique_ptr<TJournalWriter> writer_;
    std::unique_ptr<TJournalStream> current_;   // the journal in use
    std::unique_ptr<TJournalStream> pending_;   // the snapshot being written to replace it
    int snapshotLength_ = 0;  // the document's prefix the pending journal already holds
    QByteArray state_;
    QByteArray base_;
    int lastCaret_ = -1;
    int lastLength_ = -1;
    int paused_ = 0;
    bool failed_ = false;
    int generation_ = 0;      // RemoveSet and Close requests made of the writer
    qint64 compactMinimum_ = 256 * 1024;
    int compactFactor_ = 4;
    QTimer flushTimer_;
    QTimer sliceTimer_;
};

// Pauses a journal for its lifetime.
class TJournalPause {
public:
    explicit TJournalPause(TDocumentJournal* journal)
        : journal_(journal)
    {
        if (journal_)
            journal_->Pause();
    }
    ~TJournalPause()
    {
        if (journal_)
            journal_->Resume();
    }
    TJournalPause(const TJournalPause&) = delete;
    TJournalPause& operator=(const TJournalPause&) = delete;

private:
    TDocumentJournal* journal_;
};
