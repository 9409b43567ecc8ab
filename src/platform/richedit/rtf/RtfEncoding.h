#pragma once
// Code pages as the RTF reader and writer use them, on top of platform/CodePages.h.
#include <QByteArray>
#include <QHash>
#include <QString>

namespace rtf {

// The code page of a font: its \cpgN when given (> 0), else its character set's, else
// the document's (a character set without one of its own, such as symbol, takes it).
int CodePageForFont(int charset, int fontCodePage, int documentCodePage);

// Decodes bytes of a code page. Bytes that cannot be decoded become U+FFFD; a code page
// iconv does not know is read as Windows-1252.
QString DecodeCodePage(const QByteArray& bytes, int codePage);

// The fallback bytes written after \uN: the character in a code page, or "?" when the
// code page cannot represent it. Answers are cached, so long documents stay fast.
class FallbackEncoder {
public:
    QByteArray Fallback(char32_t character, int codePage);

private:
    QHash<quint64, QByteArray> cache_;
    QHash<int, QByteArray> iconvNames_;
};

} // namespace rtf
