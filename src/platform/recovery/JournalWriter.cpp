#include "platform/recovery/JournalWriter.h"

#include "platform/recovery/RecoveryStore.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString SystemReason()
{
    QString reason = QString::fromLocal8Bit(std::strerror(errno));
    return reason + QLatin1Char('.');
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

void SyncFolderOf(const QString& path)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

TJournalWriter::TJournalWriter(std::function<void(const QString&, int)> onError)
    : onError_(std::move(onError))
    , thread_([this]() { Run(); })
{
}

TJournalWriter::~TJournalWriter()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
    CloseFiles();
    if (lock_ >= 0)
        ::close(lock_);
}

void TJournalWriter::Post(std::function<void()> request)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(request));
    }
    wake_.notify_one();
}

void TJournalWriter::Run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this]() { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            if (stopping_)
                return;
            continue;
        }
        std::function<void()> request = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        request();
        lock.lock();
        busy_ = false;
        if (queue_.empty())
            idle_.notify_all();
    }
}

void TJournalWriter::Wait()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this]() { return queue_.empty() && !busy_; });
}

void TJournalWriter::Fail(const QString& what, const QString& path)
{
    const QString reason = SystemReason();
    if (failed_)
        return;
    failed_ = true;
    onError_(QStringLiteral("%1 \"%2\". %3").arg(what, path, reason), generation_);
}

void TJournalWriter::OpenSet(const TRecoverySet& set, const TRecoveryStore& store)
{
    Post([this, set = TRecoverySet(set), store]() mutable {
        if (failed_)
            return;
        QString error;
        if (!store.Lock(set, &error)) {
            failed_ = true;
            onError_(error, generation_);
            return;
        }
        lock_ = set.lockFd;
    });
}

void TJournalWriter::CloseFiles()
{
    if (current_ >= 0)
        ::close(current_);
    if (pending_ >= 0)
        ::close(pending_);
    current_ = pending_ = -1;
}

void TJournalWriter::OpenCurrent(const QString& path)
{
    Post([this, path]() {
        if (failed_)
            return;
        if (current_ >= 0)
            ::close(current_);
        currentPath_ = path;
        current_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (current_ < 0)
            Fail(QStringLiteral("Cannot create file"), path);
        else
            SyncFolderOf(path);
    });
}

void TJournalWriter::OpenPending(const QString& path)
{
    Post([this, path]() {
        if (failed_)
            return;
        if (pending_ >= 0)
            ::close(pending_);
        pendingPath_ = path;
        pending_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (pending_ < 0)
            Fail(QStringLiteral("Cannot create file"), path);
    });
}

void TJournalWriter::AppendCurrent(const QByteArray& bytes)
{
    Post([this, bytes]() {
        if (!failed_ && current_ >= 0 && !WriteAll(current_, bytes))
            Fail(QStringLiteral("Cannot write file"), currentPath_);
    });
}

void TJournalWriter::AppendPending(const QByteArray& bytes)
{
    Post([this, bytes]() {
        if (!failed_ && pending_ >= 0 && !WriteAll(pending_, bytes))
            Fail(QStringLiteral("Cannot write file"), pendingPath_);
    });
}

void TJournalWriter::Sync()
{
    Post([this]() {
        if (failed_)
            return;
        if (current_ >= 0 && ::fdatasync(current_) != 0)
            Fail(QStringLiteral("Cannot write file"), currentPath_);
        else if (pending_ >= 0 && ::fdatasync(pending_) != 0)
            Fail(QStringLiteral("Cannot write file"), pendingPath_);
    });
}

void TJournalWriter::CommitPending(const QString& journalPath)
{
    Post([this, journalPath]() {
        if (failed_ || pending_ < 0)
            return;
        if (::fsync(pending_) != 0) {
            Fail(QStringLiteral("Cannot write file"), pendingPath_);
            return;
        }
        if (::rename(QFile::encodeName(pendingPath_).constData(), QFile::encodeName(journalPath).constData()) != 0) {
            Fail(QStringLiteral("Cannot rename file"), pendingPath_);
            return;
        }
        SyncFolderOf(journalPath);
        if (current_ >= 0)
            ::close(current_);
        current_ = pending_;
        currentPath_ = journalPath;
        pending_ = -1;
    });
}

void TJournalWriter::RemoveSet(const TRecoverySet& set)
{
    Post([this, set = TRecoverySet(set)]() mutable {
        CloseFiles();
        set.lockFd = lock_;
        lock_ = -1;
        TRecoveryStore::Remove(set);
        failed_ = false;
        ++generation_;
    });
}

void TJournalWriter::Forget(const TRecoverySet& set)
{
    Post([set = TRecoverySet(set)]() mutable { TRecoveryStore::Remove(set); });
}

void TJournalWriter::Close()
{
    Post([this]() {
        CloseFiles();
        if (lock_ >= 0)
            ::close(lock_);
        lock_ = -1;
        failed_ = false;
        ++generation_;
    });
}
