#include "platform/text/Utf16Text.h"

#include <QtEndian>

namespace {

char16_t unitAt(const unsigned char* p, qsizetype i, bool littleEndian)
{
    return littleEndian ? char16_t(p[2 * i] | p[2 * i + 1] << 8) : char16_t(p[2 * i] << 8 | p[2 * i + 1]);
}

// True when the first units code units of bytes in the given byte order give only
// text: no NUL, no control character but tab, form feed and line breaks, no
// noncharacter. A lone surrogate is allowed: it is read and written back as it is.
bool readsAsUtf16Text(const QByteArray& bytes, qsizetype units, bool littleEndian)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = unitAt(p, i, littleEndian);
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f')
            return false;
        if (u == 0xFFFE || u == 0xFFFF)
            return false;
    }
    return true;
}

}  // namespace

bool IsUtf16Encoding(const QByteArray& encoding, bool* littleEndian)
{
    if (encoding.compare("UTF-16LE", Qt::CaseInsensitive) == 0) {
        *littleEndian = true;
        return true;
    }
    if (encoding.compare("UTF-16BE", Qt::CaseInsensitive) == 0) {
        *littleEndian = false;
        return true;
    }
    return false;
}

QString DecodeUtf16Units(const char* data, qsizetype units, bool littleEndian)
{
    QString text(units, Qt::Uninitialized);
    if (littleEndian)
        qFromLittleEndian<char16_t>(data, units, text.data());
    else
        qFromBigEndian<char16_t>(data, units, text.data());
    return text;
}

QByteArray EncodeUtf16Units(const QString& text, bool littleEndian)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    if (littleEndian)
        qToLittleEndian<char16_t>(text.constData(), text.size(), bytes.data());
    else
        qToBigEndian<char16_t>(text.constData(), text.size(), bytes.data());
    return bytes;
}

// As other editors tell it: text in UTF-16 holds a zero byte in every character of
// Latin script and in every line break, and on which side of the pair the zeros fall
// gives the byte order. Text in other encodings has no zero bytes at all. The
// candidate must then read as text throughout. UTF-16 without any Latin letter or line
// break cannot be told from other encodings. A file cut off in the middle of a code
// unit is judged by its whole units.
QByteArray DetectBomlessUtf16(const QByteArray& bytes)
{
    const qsizetype units = bytes.size() / 2;
    if (units == 0)
        return {};
    qsizetype evenZeros = 0;
    qsizetype oddZeros = 0;
    for (qsizetype i = 0; i < units * 2; i += 2) {
        evenZeros += bytes[i] == 0;
        oddZeros += bytes[i + 1] == 0;
    }
    // The side with more zeros holds the high bytes of Latin letters and line breaks;
    // the other side has a zero only in the odd character such as U+4E00.
    const bool littleEndian = oddZeros >= evenZeros;
    const qsizetype zeros = littleEndian ? oddZeros : evenZeros;
    const qsizetype otherZeros = littleEndian ? evenZeros : oddZeros;
    if (zeros == 0 || otherZeros * 4 > zeros)
        return {};
    // A stray NUL in another encoding is no line break, and no Latin text in UTF-16 has
    // as few zeros as that.
    qsizetype lineBreaks = 0;
    for (qsizetype i = 0; i < units * 2; i += 2) {
        const char a = bytes[i];
        const char b = bytes[i + 1];
        const char low = littleEndian ? a : b;
        lineBreaks += (littleEndian ? b : a) == 0 && (low == '\n' || low == '\r');
    }
    if (lineBreaks == 0 && zeros * 3 < units)
        return {};
    // Half a code unit at the end makes a file suspect; such a file is taken for UTF-16
    // only when it has the surest sign of it, a line break with its zero byte.
    if (bytes.size() % 2 != 0 && lineBreaks == 0)
        return {};
    if (!readsAsUtf16Text(bytes, units, littleEndian))
        return {};
    return littleEndian ? QByteArray("UTF-16LE") : QByteArray("UTF-16BE");
}
