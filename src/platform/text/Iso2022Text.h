#pragma once
// Seven-bit ISO-2022 text (ISO-2022-JP of mail and news, and its Korean and Chinese
// relatives): told by its escape sequences.
#include <QByteArray>

// The iconv name of the ISO-2022 encoding bytes are written in, or empty when they are
// not: every byte is below 0x80 and at least one escape sequence designates a double-byte
// character set. Of the encodings that read the bytes cleanly, the first that writes the
// text back byte for byte is taken, so that a save leaves an unchanged file unchanged.
QByteArray DetectIso2022(const QByteArray& bytes);
