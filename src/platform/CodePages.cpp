#include "platform/CodePages.h"

#include <cerrno>
#include <iconv.h>

namespace {

// QString's UTF-16 in this machine's byte order, as iconv names it.
constexpr const char* kHostUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;
constexpr size_t kIconvError = static_cast<size_t>(-1);

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Size of one code unit: an undecodable UTF-16 or UTF-32 unit is skipped whole so that
// the rest of the file stays aligned; every other encoding skips one byte.
size_t codeUnitSize(const QByteArray& encoding)
{
    const QByteArray upper = encoding.toUpper();
    if (upper.startsWith("UTF-16") || upper.startsWith("UCS-2"))
        return 2;
    if (upper.startsWith("UTF-32") || upper.startsWith("UCS-4"))
        return 4;
    return 1;
}

// Decodes with iconv; each undecodable byte (UTF-16/32: code unit) becomes one U+FFFD.
// Returns nothing when iconv does not know the encoding, or at the first bad byte when
// requireClean is set.
std::optional<QString> decodeWith(const char* data, qsizetype size, const QByteArray& encoding,
                                  bool requireClean, bool* hadUndecodableBytes)
{
    IconvHandle cd(kHostUtf16, encoding.constData());
    if (!cd.valid())
        return std::nullopt;

    const size_t unit = codeUnitSize(encoding);
    QString out;
    // One UTF-16 unit per input byte is enough for nearly every encoding; grow if not.
    out.resize(size + 16);
    qsizetype written = 0;  // in UTF-16 units
    auto ensureRoom = [&](qsizetype units) {
        if (out.size() - written < units)
            out.resize(out.size() * 2 + units);
    };

    char* in = const_cast<char*>(data);
    size_t inLeft = static_cast<size_t>(size);
    bool flushing = false;  // all input taken: let the converter emit what it holds
    for (;;) {
        char* outStart = reinterpret_cast<char*>(out.data() + written);
        char* outPtr = outStart;
        size_t outLeft = static_cast<size_t>(out.size() - written) * sizeof(char16_t);
        const size_t rc = flushing ? iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft)
                                   : iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        written += (outPtr - outStart) / qsizetype(sizeof(char16_t));
        if (rc != kIconvError) {
            if (flushing)
                break;
            flushing = true;
            continue;
        }
        if (error == E2BIG) {
            ensureRoom(out.size() + 16);
            continue;
        }
        if (flushing || inLeft == 0)  // nothing left to skip
            break;

        // EILSEQ, or EINVAL for a sequence cut off at the end: give out whatever the
        // converter holds for the bytes before it, then skip the bad unit.
        if (requireClean)
            return std::nullopt;
        for (;;) {
            ensureRoom(16);
            outStart = reinterpret_cast<char*>(out.data() + written);
            outPtr = outStart;
            outLeft = static_cast<size_t>(out.size() - written) * sizeof(char16_t);
            const size_t flushed = iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
            written += (outPtr - outStart) / qsizetype(sizeof(char16_t));
            if (flushed != kIconvError || errno != E2BIG)
                break;
            ensureRoom(out.size() + 16);
        }
        ensureRoom(1);
        out[written++] = QChar(kReplacement);
        const size_t skip = qMin(unit, inLeft);
        in += skip;
        inLeft -= skip;
        *hadUndecodableBytes = true;
    }
    out.truncate(written);
    return out;
}

// Encodes with iconv, never transliterating; nothing when the encoding is unknown or
// cannot represent some character.
std::optional<QByteArray> encodeWith(const QString& text, const QByteArray& encoding)
{
    IconvHandle cd(encoding.constData(), kHostUtf16);
    if (!cd.valid())
        return std::nullopt;

    QByteArray out;
    out.resize(text.size() * 2 + 64);
    qsizetype written = 0;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.constData()));
    size_t inLeft = static_cast<size_t>(text.size()) * sizeof(char16_t);
    bool flushing = false;  // return a stateful encoding to its initial shift state
    for (;;) {
        char* outStart = out.data() + written;
        char* outPtr = outStart;
        size_t outLeft = static_cast<size_t>(out.size() - written);
        const size_t rc = flushing ? iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft)
                                   : iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        written += outPtr - outStart;
        if (rc != kIconvError) {
            if (flushing)
                break;
            flushing = true;
            continue;
        }
        if (error != E2BIG)
            return std::nullopt;  // EILSEQ: not representable; EINVAL: lone high surrogate
        out.resize(out.size() * 2 + 64);
    }
    out.truncate(written);
    return out;
}

} // namespace

QByteArray IconvNameForCodePage(int codePage)
{
    switch (codePage) {
    case 65001: return "UTF-8";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 10000: return "MACINTOSH";
    case 10001: return "SHIFT_JIS";  // Mac Japanese: Shift-JIS without the Windows extensions
    case 10003: return "EUC-KR";
    case 10008: return "GB2312";
    case 10002: return "BIG5";
    case 10006: return "MACGREEK";
    case 10007: return "MACCYRILLIC";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 28591: return "ISO-8859-1";
    case 51932: return "EUC-JP";
    case 54936: return "GB18030";
    case 437: case 850: case 852: case 855: case 857: case 860: case 861: case 862: case 863:
    case 864: case 865: case 866: case 869: case 874: case 932: case 936: case 949: case 950:
    case 1250: case 1251: case 1252: case 1253: case 1254: case 1255: case 1256: case 1257:
    case 1258: case 1361:
        return "CP" + QByteArray::number(codePage);
    default:
        return QByteArray();
    }
}

int CodePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;      // ANSI
    case 77: return 10000;    // Mac Roman
    case 128: return 932;     // Shift-JIS
    case 129: return 949;     // Hangul (Wansung)
    case 130: return 1361;    // Johab
    case 134: return 936;     // GB2312
    case 136: return 950;     // Big5
    case 161: return 1253;    // Greek
    case 162: return 1254;    // Turkish
    case 163: return 1258;    // Vietnamese
    case 177: return 1255;    // Hebrew
    case 178: return 1256;    // Arabic
    case 186: return 1257;    // Baltic
    case 204: return 1251;    // Cyrillic
    case 222: return 874;     // Thai
    case 238: return 1250;    // Eastern Europe
    case 254: return 437;     // PC 437
    case 255: return 850;     // OEM
    default: return 0;        // 1 default, 2 symbol, and unknown sets
    }
}

bool IsKnownEncoding(const QByteArray& iconvName)
{
    return IconvHandle(kHostUtf16, iconvName.constData()).valid();
}

std::optional<QString> DecodeBytes(const QByteArray& bytes, const QByteArray& iconvName, bool* hadUndecodableBytes,
                                   bool requireClean)
{
    bool undecodable = false;
    std::optional<QString> text = decodeWith(bytes.constData(), bytes.size(), iconvName, requireClean, &undecodable);
    if (hadUndecodableBytes)
        *hadUndecodableBytes = undecodable;
    return text;
}

std::optional<QByteArray> EncodeString(const QString& text, const QByteArray& iconvName)
{
    return encodeWith(text, iconvName);
}
