#pragma once
// What a recovery journal keeps of the document beside its content: the name of its
// file (empty when untitled), the file format a save will write, and the file as it was
// when last read or written, so that a recovered document's Save still asks before
// writing over a file another program has changed, or leaving out what an RTF file held
// that the control cannot keep.
#include "platform/system/FileStamp.h"
#include "platform/text/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct TRecoveryState {
    QString fileName;
    bool plainText = false;
    TextFileFormat plainTextFormat;
    QString stampName;
    TFileStamp stamp;
    QStringList unkeptOnSave;
};

QByteArray EncodeRecoveryState(const TRecoveryState& state);
// False when the bytes are not a state this program wrote; state is then the default.
bool DecodeRecoveryState(const QByteArray& bytes, TRecoveryState& state);
