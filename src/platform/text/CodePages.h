#pragma once
// Code pages: converting bytes of a Windows code page (or any iconv encoding) to text
// and back, and the code page that belongs to a font character set.
#include <QByteArray>
#include <QString>
#include <optional>

// The iconv name of a Windows code page number (932 -> "CP932", 10001 -> the Mac
// Japanese encoding, 65001 -> "UTF-8"); empty for numbers iconv cannot convert.
QByteArray IconvNameForCodePage(int codePage);

// The code page the desktop associates with a font character-set code (128 -> 932,
// 204 -> 1251, 0 -> 1252, ...); 0 for a character set without one (2, symbol).
int CodePageForCharset(int charset);

// True when iconv can convert between the encoding and Unicode.
bool IsKnownEncoding(const QByteArray& iconvName);

// Decodes bytes; each byte that cannot be decoded becomes U+FFFD and sets
// *hadUndecodableBytes (when given). Nothing when iconv does not know the encoding,
// or, with requireClean, when any byte cannot be decoded.
std::optional<QString> DecodeBytes(const QByteArray& bytes, const QByteArray& iconvName,
                                   bool* hadUndecodableBytes = nullptr, bool requireClean = false);

// Encodes text without transliteration; nothing when the encoding is unknown or cannot
// represent some character.
std::optional<QByteArray> EncodeString(const QString& text, const QByteArray& iconvName);
