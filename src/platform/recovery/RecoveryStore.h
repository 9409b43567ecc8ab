#pragma once
// A folder of recovery sets, each the journal of one document of one running process.
// A set is three files named by its id: the journal, the journal being rewritten (a
// compaction or a first snapshot not finished yet) and a lock. The lock file holds the
// owner's process id and an flock(2) lock; the kernel drops the lock when the process
// dies however it dies, so a set whose lock nobody holds belongs to no running process.
// Files are readable by the user only.
#include <QDateTime>
#include <QString>
#include <vector>

struct TRecoverySet {
    QString id;
    QString journalPath;  // the journal replay reads
    QString pendingPath;  // the journal being written to replace it
    QString lockPath;
    int lockFd = -1;      // held while this process owns the set

    bool owned() const { return lockFd >= 0; }
};

class TRecoveryStore {
public:
    explicit TRecoveryStore(const QString& directory);
    const QString& Directory() const { return directory_; }

    // $XDG_STATE_HOME/<organization>/<application>/recovery, $XDG_STATE_HOME being
    // ~/.local/state when unset or not absolute.
    static QString DefaultDirectory(const QString& organization, const QString& application);

    // The names of a new set, unique to this process and this moment; nothing is
    // created yet.
    TRecoverySet NewSet() const;
    // Creates the set's lock and takes it, the folder created (mode 0700) when missing.
    // False, with the system's reason in *error, when the folder or the lock cannot be
    // made.
    bool Lock(TRecoverySet& set, QString* error) const;

    // The sets with a journal that no running process owns, now owned by this one, the
    // most recently changed first. Leftovers that can never be replayed (a journal
    // being rewritten whose first snapshot was never finished) are deleted.
    std::vector<TRecoverySet> ClaimOrphans() const;
    // The set named id when no running process owns it and it has a journal.
    bool Claim(const QString& id, TRecoverySet& set) const;

    // Gives up ownership and keeps the files.
    static void Release(TRecoverySet& set);
    // Deletes the set's files, then gives up ownership.
    static void Remove(TRecoverySet& set);

private:
    TRecoverySet SetNamed(const QString& id) const;
    QString directory_;
};
