#include "platform/text/TextEncoding.h"

#include "platform/text/CodePages.h"
#include "platform/text/EncodingDetector.h"
#include "platform/text/Iso2022Text.h"
#include "platform/text/Utf16Text.h"

#include <QHash>
#include <QList>
#include <algorithm>

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


// The style of a text's first line break, given where its first CR is; LF if there is
// none. Char is the text's unit: char16_t or char.
template <typename Text, typename Char>
LineEnding firstBreakStyle(const Text& text, qsizetype firstCr, Char lf)
{
    if (firstCr < 0)
        return LineEnding::LF;
    const qsizetype firstLf = text.indexOf(lf);
    if (firstLf >= 0 && firstLf < firstCr)
        return LineEnding::LF;
    return firstCr + 1 < text.size() && text.at(firstCr + 1) == lf ? LineEnding::CRLF : LineEnding::CR;
}

// Turns CRLF, LF and lone CR into '\n' in place; returns the first break's style (LF if
// there is none).
LineEnding normaliseLineBreaks(QString& text)
{
    const qsizetype firstCr = text.indexOf(u'\r');
    const LineEnding style = firstBreakStyle(text, firstCr, u'\n');
    if (firstCr < 0)
        return style;

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

// Valid UTF-8 with this many multi-byte characters is UTF-8: text in another encoding
// passes the strict check only by chance, and not so many times over.
constexpr int kSureUtf8Characters = 16;

// True when bytes holds at least kSureUtf8Characters lead bytes of UTF-8 sequences,
// or no byte above 0x7F at all; and, either way, no control character that text does
// not hold (the high bytes of UTF-16 in several scripts are such bytes).
bool clearlyUtf8(const QByteArray& bytes)
{
    int leads = 0;
    bool high = false;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f')
            return false;
        high = high || b >= 0x80;
        if (b >= 0xC2 && ++leads >= kSureUtf8Characters)
            return true;
    }
    return !high;
}

QByteArray byteOrderMarkFor(const QByteArray& encoding)
{
    const QByteArray upper = encoding.toUpper();
    if (IsUtf8Encoding(upper))
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


// Decodes bytes[bodyStart..] with the first candidate that reads the whole of it
// cleanly, or with the last one (the fallback code page when iconv knows none of them),
// replacing what it cannot read.
DecodedText decodeBody(const QByteArray& bytes, qsizetype bodyStart, const QList<QByteArray>& candidates)
{
    DecodedText result;
    result.format.byteOrderMark = bodyStart > 0;
    const char* body = bytes.constData() + bodyStart;
    const qsizetype size = bytes.size() - bodyStart;

    std::optional<QString> text;
    for (qsizetype i = 0; i < candidates.size() && !text; ++i) {
        // UTF-16 needs no converter and has nothing undecodable: each unit is kept as it
        // is, and a byte after the last whole unit goes into the format.
        bool littleEndian = false;
        if (IsUtf16Encoding(candidates[i], &littleEndian)) {
            text = DecodeUtf16Units(body, size / 2, littleEndian);
            result.format.encoding = candidates[i];
            if (size % 2 != 0)
                result.format.incompleteUnit = QByteArray(body + size - 1, 1);
            break;
        }
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

namespace {

// NULs among many other control characters, as in a program or an image, where text
// has at most a stray one: at least 8 controls, a hundredth of the first 64 KiB.
bool looksBinary(const QByteArray& bytes)
{
    const QByteArrayView sample = QByteArrayView(bytes).first(std::min<qsizetype>(bytes.size(), 64 * 1024));
    if (!sample.contains('\0'))
        return false;
    qsizetype controls = 0;
    for (const char c : sample) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\v' && byte != '\f' && byte != '\r' && byte != 0x1B)
            ++controls;
    }
    return controls >= 8 && controls * 100 >= sample.size();
}

} // namespace

bool IsUtf8Encoding(const QByteArray& encoding)
{
    return encoding.compare("UTF-8", Qt::CaseInsensitive) == 0 || encoding.compare("UTF8", Qt::CaseInsensitive) == 0;
}

DecodedText DecodeTextFile(const QByteArray& bytes)
{
    return DecodeTextFile(bytes, DetectionHints::FromSystem());
}

DecodedText DecodeTextFile(const QByteArray& bytes, const DetectionHints& hints)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeBody(bytes, 3, {"UTF-8"});
    if (bytes.startsWith("\xFF\xFE"))
        return decodeBody(bytes, 2, {"UTF-16LE"});
    if (bytes.startsWith("\xFE\xFF"))
        return decodeBody(bytes, 2, {"UTF-16BE"});
    // Before UTF-8: seven-bit ISO-2022 text is valid UTF-8 too, and so are the zero
    // bytes of UTF-16.
    const QByteArray iso2022 = DetectIso2022(bytes);
    if (!iso2022.isEmpty())
        return decodeBody(bytes, 0, {iso2022});
    const QByteArray utf16 = DetectBomlessUtf16(bytes);
    if (!utf16.isEmpty())
        return decodeBody(bytes, 0, {utf16});
    const bool validUtf8 = isValidUtf8(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    if (validUtf8 && clearlyUtf8(bytes)) {
        // Checked to be valid, the bytes decode the same through Qt's own decoder, which
        // is several times faster than iconv on a file of many megabytes.
        DecodedText result;
        result.format.encoding = "UTF-8";
        result.text = QString::fromUtf8(bytes);
        result.format.lineEnding = normaliseLineBreaks(result.text);
        return result;
    }
    const EncodingGuess guess = GuessEncoding(bytes, hints);
    // The likeliest reading, damaged bytes and all: the next likeliest encoding that
    // happens to read every byte is no better for that.
    DecodedText result = decodeBody(bytes, 0, guess.ranked.mid(0, 1));
    // Binary data is no text in any encoding: read as a code page or as UTF-16, every
    // byte shows as some character, NULs among them, and nothing would say what a save
    // damages. Read as UTF-8, it shows its undecodable bytes as such, and the user is told.
    if (!validUtf8 && looksBinary(bytes) && result.text.contains(QChar(0)))
        return decodeBody(bytes, 0, {"UTF-8"});
    for (const QByteArray& other : guess.alternatives) {
        if (other != result.format.encoding)
            result.alternatives << other;
    }
    // Doubt with nothing else to offer is no use to the user.
    result.unsure = !result.alternatives.isEmpty() && guess.unsure;
    return result;
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
    if (IsUtf8Encoding(format.encoding)) {
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
    if (IsUtf8Encoding(encoding) || IsUtf16Encoding(encoding, &littleEndian) || !IsKnownEncoding(encoding)
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

QString DecodeTextPiece(QByteArrayView bytes, const QByteArray& encoding, bool* undecodable)
{
    QString text;
    bool littleEndian = false;
    if (IsUtf16Encoding(encoding, &littleEndian)) {
        text = DecodeUtf16Units(bytes.data(), bytes.size() / 2, littleEndian);
    } else if (IsUtf8Encoding(encoding)
               && isValidUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size())) {
        text = QString::fromUtf8(bytes);
    } else {
        const QByteArray raw = QByteArray::fromRawData(bytes.data(), bytes.size());
        std::optional<QString> decoded = DecodeBytes(raw, encoding, undecodable);
        if (!decoded)
            decoded = DecodeBytes(raw, kFallbackEncoding, undecodable);
        text = std::move(*decoded);
    }
    normaliseLineBreaks(text);
    return text;
}

qsizetype ByteOrderMarkLength(const TextFileFormat& format)
{
    return format.byteOrderMark ? byteOrderMarkFor(format.encoding).size() : 0;
}

LineEnding FirstLineBreakStyle(QByteArrayView bytes)
{
    return firstBreakStyle(bytes, bytes.indexOf('\r'), '\n');
}
