#pragma once
// Writes a journal's bytes on a thread of its own, so that the thread that records
// changes never waits for the disk. Requests run in the order they were made. There is
// one journal in use and at most one pending journal being written to replace it.
#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

struct TRecoverySet;
class TRecoveryStore;

class TJournalWriter {
public:
    // onError runs on the writer's thread with the system's reason, once after a write
    // fails; later writes are dropped until the next RemoveSet or Close. Its second
    // argument counts the RemoveSet and Close requests run before the failure, which
    // tells the journal of which document it was.
    explicit TJournalWriter(std::function<void(const QString&, int)> onError);
    // Finishes every request made, then stops the thread. Files stay as they are.
    ~TJournalWriter();
    TJournalWriter(const TJournalWriter&) = delete;
    TJournalWriter& operator=(const TJournalWriter&) = delete;

    // Creates the set's lock in store and takes it; the writer holds it until RemoveSet
    // or Close.
    void OpenSet(const TRecoverySet& set, const TRecoveryStore& store);
    // Creates (or empties) the journal in use at path.
    void OpenCurrent(const QString& path);
    // Creates (or empties) the pending journal at path.
    void OpenPending(const QString& path);
    void AppendCurrent(const QByteArray& bytes);
    void AppendPending(const QByteArray& bytes);
    // Makes everything appended so far durable (fdatasync).
    void Sync();
    // Makes the pending journal durable and renames it over journalPath, which becomes
    // the journal in use; the previous one is closed.
    void CommitPending(const QString& journalPath);
    // Closes the journals and deletes the set's files and lock (a copy of the set is
    // taken: the caller's lock descriptor passes to the writer).
    void RemoveSet(const TRecoverySet& set);
    // Deletes the files and lock of another set, the journals in use left alone.
    void Forget(const TRecoverySet& set);
    // Closes the journals, keeping them, and gives up the set's lock.
    void Close();
    // Blocks until every request made so far has run.
    void Wait();

private:
    void Post(std::function<void()> request);
    void Run();
    void Fail(const QString& what, const QString& path);
    void CloseFiles();

    std::function<void(const QString&, int)> onError_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<std::function<void()>> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    // Touched by the writer's thread only.
    int current_ = -1;
    int pending_ = -1;
    int lock_ = -1;
    QString pendingPath_;
    QString currentPath_;
    int generation_ = 0;
    bool failed_ = false;
    std::thread thread_;
};
