#pragma once
// The state of a big plain-text file being loaded into TRichEdit in slices.
#include "platform/text/TextPieces.h"

#include <QFile>
#include <QString>
#include <memory>
#include <qnamespace.h>

struct TLoadInProgress {
    TLoadInProgress(TTextPieces pieces, const QString& path) : pieces(std::move(pieces)), path(path) {}

    TTextPieces pieces;
    QString path;
    // The file read on as the pieces need its bytes; null when all were read at once.
    std::unique_ptr<QFile> file;
    // Decoded text not yet in the document, from pendingAt on.
    QString pending;
    qsizetype pendingAt = 0;
    // Characters appended at once: as many as take about kAppendNs.
    qsizetype batchChars = 16 * 1024;
    // What the user could do with the text before the load made it read-only.
    Qt::TextInteractionFlags interaction;
    bool warned = false;  // undecodable bytes are reported once
};

// The warning for a file with bytes that are not valid in the encoding it is read in.
QString UndecodableBytesWarning(const QString& path, const QByteArray& encoding);
