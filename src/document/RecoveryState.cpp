#include "document/RecoveryState.h"

#include <QDataStream>

namespace {
constexpr quint32 kStateVersion = 2;
}

QByteArray EncodeRecoveryState(const TRecoveryState& state)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << kStateVersion << state.fileName << state.plainText << state.plainTextFormat.encoding
        << state.plainTextFormat.byteOrderMark << qint32(state.plainTextFormat.lineEnding) << state.stampName
        << state.stamp.exists << state.stamp.size << state.stamp.modified << state.unkeptOnSave;
    return bytes;
}

bool DecodeRecoveryState(const QByteArray& bytes, TRecoveryState& state)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 version = 0;
    TRecoveryState read;
    qint32 lineEnding = 0;
    in >> version;
    if (version != kStateVersion)
        return false;
    in >> read.fileName >> read.plainText >> read.plainTextFormat.encoding >> read.plainTextFormat.byteOrderMark
        >> lineEnding >> read.stampName >> read.stamp.exists >> read.stamp.size >> read.stamp.modified
        >> read.unkeptOnSave;
    if (in.status() != QDataStream::Ok)
        return false;
    read.plainTextFormat.lineEnding = LineEnding(qBound(0, int(lineEnding), int(LineEnding::CR)));
    state = read;
    return true;
}
