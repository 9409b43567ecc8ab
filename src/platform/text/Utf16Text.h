#pragma once
// UTF-16 text files: telling them without a byte-order mark, and reading and writing
// them code unit for code unit, so that whatever units a file holds (a lone surrogate
// too) come back unchanged when it is saved.
#include <QByteArray>
#include <QString>

// True when encoding (an iconv name, any case) is UTF-16LE or UTF-16BE; *littleEndian
// tells which.
bool IsUtf16Encoding(const QByteArray& encoding, bool* littleEndian);

// The code units of data[0 .. 2 * units) in the given byte order, as they are.
QString DecodeUtf16Units(const char* data, qsizetype units, bool littleEndian);

// The code units of text in the given byte order, as they are.
QByteArray EncodeUtf16Units(const QString& text, bool littleEndian);

// "UTF-16LE" or "UTF-16BE" when bytes without a byte-order mark read as UTF-16 text;
// empty when they do not. A last byte of an odd length is left out of the judgement.
QByteArray DetectBomlessUtf16(const QByteArray& bytes);
