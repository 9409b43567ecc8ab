#include "platform/recovery/RecoveryStore.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kJournalSuffix = QStringLiteral(".journal");
const QString kPendingSuffix = QStringLiteral(".journal.new");
const QString kLockSuffix = QStringLiteral(".lock");
// A lock file without a journal is a set being created; only one this old is a leftover.
constexpr int kLeftoverLockSeconds = 60;

// Opens (creating when asked) and locks a lock file without waiting; -1 when another
// process holds it or it cannot be opened.
int LockFile(const QString& path, bool create)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | (create ? O_CREAT | O_EXCL : 0), 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void WriteProcessId(int fd)
{
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.constData(), size_t(pid.size()), 0) < 0)
        return;  // the pid is for people reading the folder; the lock is what counts
}

} // namespace

TRecoveryStore::TRecoveryStore(const QString& directory)
    : directory_(directory)
{
}

QString TRecoveryStore::DefaultDirectory(const QString& organization, const QString& application)
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QLatin1Char('/') + organization + QLatin1Char('/') + application + QStringLiteral("/recovery");
}

TRecoverySet TRecoveryStore::SetNamed(const QString& id) const
{
    TRecoverySet set;
    set.id = id;
    const QString stem = directory_ + QLatin1Char('/') + id;
    set.journalPath = stem + kJournalSuffix;
    set.pendingPath = stem + kPendingSuffix;
    set.lockPath = stem + kLockSuffix;
    return set;
}

TRecoverySet TRecoveryStore::NewSet() const
{
    static QAtomicInt counter;
    return SetNamed(QStringLiteral("%1-%2-%3-%4")
                        .arg(QDateTime::currentMSecsSinceEpoch())
                        .arg(qint64(::getpid()))
                        .arg(counter.fetchAndAddRelaxed(1))
                        .arg(QRandomGenerator::global()->bounded(1 << 16)));
}

bool TRecoveryStore::Lock(TRecoverySet& set, QString* error) const
{
    if (!QDir().mkpath(directory_)) {
        if (error)
            *error = QStringLiteral("Cannot create the folder \"%1\".").arg(directory_);
        return false;
    }
    ::chmod(QFile::encodeName(directory_).constData(), 0700);
    const int fd = LockFile(set.lockPath, true);
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("Cannot create the file \"%1\". %2.")
                         .arg(set.lockPath, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    WriteProcessId(fd);
    set.lockFd = fd;
    return true;
}

bool TRecoveryStore::Claim(const QString& id, TRecoverySet& set) const
{
    TRecoverySet candidate = SetNamed(id);
    const bool hasJournal = QFileInfo::exists(candidate.journalPath);
    const bool hasPending = QFileInfo::exists(candidate.pendingPath);
    const QFileInfo lockInfo(candidate.lockPath);
    if (!hasJournal && !hasPending && !lockInfo.exists())
        return false;
    // A journal whose lock file is gone gets a new lock; O_EXCL makes one process win.
    const int fd = lockInfo.exists() ? LockFile(candidate.lockPath, false) : LockFile(candidate.lockPath, true);
    if (fd < 0)
        return false;
    candidate.lockFd = fd;
    if (!hasJournal) {
        // Nothing to replay: a first snapshot never finished, or a set being created
        // (kept unless it is old, since its creator may not hold the lock yet).
        if (hasPending || lockInfo.lastModified().secsTo(QDateTime::currentDateTime()) > kLeftoverLockSeconds)
            Remove(candidate);
        else
            Release(candidate);
        return false;
    }
    if (hasPending)
        QFile::remove(candidate.pendingPath);
    WriteProcessId(fd);
    set = candidate;
    return true;
}

std::vector<TRecoverySet> TRecoveryStore::ClaimOrphans() const
{
    QStringList ids;
    const QDir dir(directory_);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        for (const QString& suffix : {kPendingSuffix, kJournalSuffix, kLockSuffix}) {
            if (name.endsWith(suffix)) {
                const QString id = name.left(name.size() - suffix.size());
                if (!ids.contains(id))
                    ids << id;
                break;
            }
        }
    }
    std::vector<TRecoverySet> sets;
    for (const QString& id : ids) {
        TRecoverySet set;
        if (Claim(id, set))
            sets.push_back(set);
    }
    std::sort(sets.begin(), sets.end(), [](const TRecoverySet& a, const TRecoverySet& b) {
        return QFileInfo(a.journalPath).lastModified() > QFileInfo(b.journalPath).lastModified();
    });
    return sets;
}

void TRecoveryStore::Release(TRecoverySet& set)
{
    if (set.lockFd >= 0)
        ::close(set.lockFd);
    set.lockFd = -1;
}

void TRecoveryStore::Remove(TRecoverySet& set)
{
    if (!set.journalPath.isEmpty()) {
        QFile::remove(set.journalPath);
        QFile::remove(set.pendingPath);
        QFile::remove(set.lockPath);
    }
    Release(set);
}
