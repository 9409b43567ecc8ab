#pragma once
// What tells whether a file changed on disk since the program last read or wrote it.
#include <QDateTime>
#include <QFileInfo>
#include <QString>

struct TFileStamp {
    bool exists = false;
    qint64 size = -1;
    QDateTime modified;

    bool operator==(const TFileStamp& other) const
    {
        return exists == other.exists && size == other.size && modified == other.modified;
    }
    bool operator!=(const TFileStamp& other) const { return !(*this == other); }
};

// The file's size and modification time as they are now (read afresh, not cached).
inline TFileStamp FileStampOf(const QString& path)
{
    QFileInfo info(path);
    info.setCaching(false);
    TFileStamp stamp;
    stamp.exists = info.exists();
    if (stamp.exists) {
        stamp.size = info.size();
        stamp.modified = info.lastModified();
    }
    return stamp;
}
