#include "platform/TextEncoding.h"

#include "platform/CodePages.h"
#include "platform/Utf16Text.h"

#include <QHash>
#include <QList>

#include <uchardet/uchardet.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

// The code page used when nothing else fits: the desktop's own.
constexpr const char* kFallbackEncoding = "CP932";

// Strict UTF-8 over the whole buffer, NUL bytes included: no overlong forms, no
// surrogates, nothing above U+10FFFF, no sequence cut off at the end.
bool isValidUtf8(const unsigned char* p, qsizetype size)
{
    const unsigned char* const end = p + size;
    while (p < end) {
        // Plain ASCII eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        // The second byte's range rules out overlongs, surrogates and > U+10FFFF.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead == 0xE0) {
            length = 3;
            low = 0xA0;
        } else if (lead == 0xED) {
            length = 3;
            high = 0x9F;
        } else if (lead >= 0xE1 && lead <= 0xEF) {
            length = 3;
        } else if (lead == 0xF0) {
            length = 4;
            low = 0x90;
        } else if (lead >= 0xF1 && lead <= 0xF3) {
            length = 4;
        } else if (lead == 0xF4) {
            length = 4;
            high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
        }
        p += length;
    }
    return true;
}


// Turns CRLF, LF and lone CR into '\n' in place; returns the first break's style (LF if
// there is none).
LineEnding normaliseLineBreaks(QString& text)
{
    const qsizetype firstCr = text.indexOf(u'\r');
    const qsizetype firstLf = text.indexOf(u'\n');
    if (firstCr < 0)
        return LineEnding::LF;

    LineEnding style = LineEnding::LF;
    if (firstLf < 0 || firstCr < firstLf)
        style = (firstCr + 1 < text.size() && text.at(firstCr + 1) == u'\n') ? LineEnding::CRLF
                                                                            : LineEnding::CR;

    QChar* d = text.data();
    const qsizetype n = text.size();
    qsizetype w = firstCr;
    for (qsizetype r = firstCr; r < n; ++r) {
        if (d[r] == u'\r') {
            if (r + 1 < n && d[r + 1] == u'\n')
                ++r;
            d[w++] = u'\n';
        } else {
            d[w++] = d[r];
        }
    }
    text.truncate(w);
    return style;
}

// uchardet runs at about 10 MB/s on text it cannot settle early, so it sees a window of
// the buffer: from a little before the first non-ASCII byte, at most 1 MiB.
QByteArray detectWithUchardet(const QByteArray& bytes)
{
    constexpr qsizetype kWindow = qsizetype(1) << 20;
    constexpr qsizetype kLeadIn = 4096;
    qsizetype firstHigh = 0;
    while (firstHigh < bytes.size() && static_cast<unsigned char>(bytes[firstHigh]) < 0x80)
        ++firstHigh;
    // A multiple of 4 keeps UTF-16 and UTF-32 code units aligned.
    const qsizetype start = qMax<qsizetype>(0, firstHigh - kLeadIn) & ~qsizetype(3);
    const qsizetype length = qMin(kWindow, bytes.size() - start);

    uchardet_t detector = uchardet_new();
    if (!detector)
        return {};
    uchardet_handle_data(detector, bytes.constData() + start, static_cast<size_t>(length));
    uchardet_data_end(detector);
    const QByteArray charset = QByteArray(uchardet_get_charset(detector)).toUpper();
    uchardet_delete(detector);
    return charset;
}

bool hasC1Bytes(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F)
            return true;
    }
    return false;
}

// The encodings to try for what uchardet reported, best first; every one but the last
// is used only if the whole buffer decodes cleanly in it.
QList<QByteArray> candidateEncodings(const QByteArray& detected, const QByteArray& bytes)
{
    if (detected.isEmpty() || detected == "ASCII")
        return {kFallbackEncoding};
    if (detected == "SHIFT_JIS")
        return {"CP932"};
    if (detected == "EUC-KR" || detected == "UHC")
        return {"CP949"};
    // CP936 (GBK) covers nearly all real files; GB18030 adds four-byte sequences.
    if (detected == "GB18030" || detected == "GB2312")
        return {"CP936", "GB18030"};
    if (detected == "BIG5")
        return {"CP950"};
    if (detected == "TIS-620" || detected == "ISO-8859-11" || detected == "WINDOWS-874")
        return {"CP874"};
    if (detected.startsWith("WINDOWS-125"))
        return {"CP" + detected.mid(8)};
    // These Windows code pages agree with the ISO set on 0xA0-0xFF and put printable
    // characters (quotes, dashes) where ISO has C1 controls, which text never holds.
    static const struct {
        const char* iso;
        const char* windows;
    } kWindowsSupersets[] = {
        {"ISO-8859-1", "CP1252"}, {"ISO-8859-9", "CP1254"}, {"ISO-8859-13", "CP1257"}};
    for (const auto& pair : kWindowsSupersets) {
        if (detected == pair.iso && hasC1Bytes(bytes))
            return {pair.windows, detected};
    }
    return {detected};
}

bool isUtf8Name(const QByteArray& upper)
{
    return upper == "UTF-8" || upper == "UTF8";
}

QByteArray byteOrderMarkFor(const QByteArray& encoding)
{
    const QByteArray upper = encoding.toUpper();
    if (isUtf8Name(upper))
        return QByteArray("\xEF\xBB\xBF", 3);
    if (upper == "UTF-16LE")
        return QByteArray("\xFF\xFE", 2);
    if (upper == "UTF-16BE")
        return QByteArray("\xFE\xFF", 2);
    if (upper == "UTF-32LE")
        return QByteArray("\xFF\xFE\x00\x00", 4);
    if (upper == "UTF-32BE")
        return QByteArray("\x00\x00\xFE\xFF", 4);
    return {};
}

QString withLineEnding(const QString& text, LineEnding ending)
{
    if (ending == LineEnding::LF)
        return text;
    if (ending == LineEnding::CR) {
        QString out = text;
        out.replace(u'\n', u'\r');
        return out;
    }
    QString out;
    out.reserve(text.size() + text.count(u'\n'));
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', from)) {
        out.append(QStringView(text).mid(from, at - from));
        out.append(u"\r\n");
        from = at + 1;
    }
    out.append(QStringView(text).mid(from));
    return out;
}


// Decodes bytes[bodyStart..] with the first candidate that fits (see candidateEncodings),
// or with the fallback code page when iconv knows none of them.
DecodedText decodeBody(const QByteArray& bytes, qsizetype bodyStart,
                       const QList<QByteArray>& candidates)
{
    DecodedText result;
    result.format.byteOrderMark = bodyStart > 0;
    const char* body = bytes.constData() + bodyStart;
    const qsizetype size = bytes.size() - bodyStart;

    // UTF-16 needs no converter and has nothing undecodable: each unit is kept as it
    // is, and a byte after the last whole unit goes into the format.
    bool littleEndian = false;
    if (candidates.size() == 1 && IsUtf16Encoding(candidates.front(), &littleEndian)) {
        result.format.encoding = candidates.front();
        result.text = DecodeUtf16Units(body, size / 2, littleEndian);
        if (size % 2 != 0)
            result.format.incompleteUnit = QByteArray(body + size - 1, 1);
        result.format.lineEnding = normaliseLineBreaks(result.text);
        return result;
    }

    std::optional<QString> text;
    for (qsizetype i = 0; i < candidates.size() && !text; ++i) {
        const bool last = i + 1 == candidates.size();
        text = DecodeBytes(QByteArray::fromRawData(body, size), candidates[i], &result.hadUndecodableBytes, !last);
        if (text)
            result.format.encoding = candidates[i];
    }
    if (!text) {
        text = DecodeBytes(QByteArray::fromRawData(body, size), kFallbackEncoding, &result.hadUndecodableBytes);
        result.format.encoding = kFallbackEncoding;
    }
    result.text = std::move(*text);
    result.format.lineEnding = normaliseLineBreaks(result.text);
    return result;
}

}  // namespace

DecodedText DecodeTextFile(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeBody(bytes, 3, {"UTF-8"});
    if (bytes.startsWith("\xFF\xFE"))
        return decodeBody(bytes, 2, {"UTF-16LE"});
    if (bytes.startsWith("\xFE\xFF"))
        return decodeBody(bytes, 2, {"UTF-16BE"});
    // Before UTF-8: the zero bytes of UTF-16 are valid UTF-8 too.
    const QByteArray utf16 = DetectBomlessUtf16(bytes);
    if (!utf16.isEmpty())
        return decodeBody(bytes, 0, {utf16});
    if (isValidUtf8(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size())) {
        // Checked to be valid, the bytes decode the same through Qt's own decoder, which
        // is several times faster than iconv on a file of many megabytes.
        DecodedText result;
        result.format.encoding = "UTF-8";
        result.text = QString::fromUtf8(bytes);
        result.format.lineEnding = normaliseLineBreaks(result.text);
        return result;
    }
    return decodeBody(bytes, 0, candidateEncodings(detectWithUchardet(bytes), bytes));
}

DecodedText DecodeTextFile(const QByteArray& bytes, const QByteArray& encoding)
{
    if (!IsKnownEncoding(encoding))
        return DecodeTextFile(bytes);
    const QByteArray mark = byteOrderMarkFor(encoding);
    const qsizetype bodyStart = !mark.isEmpty() && bytes.startsWith(mark) ? mark.size() : 0;
    return decodeBody(bytes, bodyStart, {encoding});
}

EncodedText EncodeTextFile(const QString& text, const TextFileFormat& format)
{
    EncodedText result;
    result.format = format;
    const QString stored = withLineEnding(text, format.lineEnding);

    result.format.incompleteUnit.clear();
    std::optional<QByteArray> body;
    bool littleEndian = false;
    if (isUtf8Name(format.encoding.toUpper())) {
        body = stored.toUtf8();
    } else if (IsUtf16Encoding(format.encoding, &littleEndian)) {
        body = EncodeUtf16Units(stored, littleEndian) + format.incompleteUnit;
        result.format.incompleteUnit = format.incompleteUnit;
    } else {
        body = EncodeString(stored, format.encoding);
    }

    if (!body) {
        result.bytes = stored.toUtf8();
        result.format.encoding = "UTF-8";
        result.format.byteOrderMark = false;
        result.fellBackToUtf8 = true;
        return result;
    }
    if (format.byteOrderMark) {
        const QByteArray mark = byteOrderMarkFor(format.encoding);
        result.format.byteOrderMark = !mark.isEmpty();  // code pages have no mark
        body->prepend(mark);
    }
    result.bytes = std::move(*body);
    return result;
}

UnencodableCharacters FindUnencodableCharacters(const QString& text, const QByteArray& encoding)
{
    UnencodableCharacters found;
    bool littleEndian = false;
    if (isUtf8Name(encoding.toUpper()) || IsUtf16Encoding(encoding, &littleEndian) || !IsKnownEncoding(encoding)
        || EncodeString(text, encoding))
        return found;
    // Each distinct character is tried once on its own; a text holds few of them.
    QHash<char32_t, bool> encodable;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const char32_t character =
            length == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        auto known = encodable.constFind(character);
        if (known == encodable.cend())
            known = encodable.insert(character, EncodeString(text.mid(i, length), encoding).has_value());
        if (!*known) {
            if (found.count == 0)
                found.first = character;
            ++found.count;
        }
        i += length;
    }
    return found;
}
