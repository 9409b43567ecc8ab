#include "platform/text/CodePages.h"

#include "platform/text/Charsets.h"

#include <QByteArrayView>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <iterator>
#include <vector>

namespace {

// QString's UTF-16 in this machine's byte order, as iconv names it.
constexpr const char* kHostUtf16 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;
constexpr size_t kIconvError = static_cast<size_t>(-1);

// Code pages with an iconv name of their own; the Windows code pages of the list
// after it are named "CP" and their number.
struct NamedCodePage {
    int codePage;
    const char* iconvName;
};
constexpr NamedCodePage kNamedCodePages[] = {
    {65001, "UTF-8"},
    {1200, "UTF-16LE"},
    {1201, "UTF-16BE"},
    {10000, "MACINTOSH"},
    {10001, "SHIFT_JIS"},  // Mac Japanese: Shift-JIS without the Windows extensions
    {10003, "EUC-KR"},
    {10008, "GB2312"},
    {10002, "BIG5"},
    {10006, "MACGREEK"},
    {10007, "MACCYRILLIC"},
    {20127, "ASCII"},
    {20866, "KOI8-R"},
    {28591, "ISO-8859-1"},
    {51932, "EUC-JP"},
    {54936, "GB18030"},
};
constexpr int kWindowsCodePages[] = {
    437,  850,  852,  855,  857,  860,  861,  862,  863,  864,  865,  866,  869,  874,  932,
    936,  949,  950,  1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361,
};

bool IsWindowsCodePage(int codePage)
{
    return std::find(std::begin(kWindowsCodePages), std::end(kWindowsCodePages), codePage)
           != std::end(kWindowsCodePages);
}

// True when a converter for the encoding works the same after a reset to its initial
// state as when new. That holds for the code pages above, whose state is only a shift
// state or a pending character; it does not for every encoding iconv knows: UTF-16
// and UTF-32 read or write a byte-order mark on a converter's first use only, and
// ISO-2022-KR writes its header then.
bool IsReusable(const char* encoding)
{
    const QByteArrayView name(encoding);
    for (const NamedCodePage& named : kNamedCodePages)
        if (name == named.iconvName)
            return true;
    if (!name.startsWith("CP") || name.size() < 3 || name.size() > 6 || name[2] == '0')
        return false;
    int number = 0;
    for (const char digit : name.sliced(2)) {
        if (digit < '0' || digit > '9')
            return false;
        number = number * 10 + (digit - '0');
    }
    return IsWindowsCodePage(number);
}

// An open converter and the encodings it converts between.
struct Converter {
    QByteArray to;
    QByteArray from;
    iconv_t cd = reinterpret_cast<iconv_t>(-1);
};

// Converters kept open for reuse, a few per thread. Opening a converter looks both
// encodings up in iconv's module tables and closing one unloads what it used; on a
// long RTF file, whose text comes in many short runs of code-page bytes, that cost
// more than converting the runs did.
class ConverterPool {
public:
    ConverterPool() = default;
    ConverterPool(const ConverterPool&) = delete;
    ConverterPool& operator=(const ConverterPool&) = delete;
    ~ConverterPool()
    {
        for (const Converter& idle : idle_)
            iconv_close(idle.cd);
    }

    // Moves an idle converter from `from` to `to` into *taken, reset to its initial
    // state; false when the pool has none.
    bool Take(const char* to, const char* from, Converter* taken)
    {
        for (auto it = idle_.rbegin(); it != idle_.rend(); ++it) {
            if (qstrcmp(it->to.constData(), to) == 0 && qstrcmp(it->from.constData(), from) == 0) {
                *taken = std::move(*it);
                idle_.erase(std::next(it).base());
                iconv(taken->cd, nullptr, nullptr, nullptr, nullptr);
                return true;
            }
        }
        return false;
    }

    // Keeps a converter for a later Take, closing the least recently used one beyond
    // the limit.
    void Give(Converter&& converter)
    {
        if (idle_.size() == kLimit) {
            iconv_close(idle_.front().cd);
            idle_.erase(idle_.begin());
        }
        idle_.push_back(std::move(converter));
    }

private:
    static constexpr size_t kLimit = 16;
    std::vector<Converter> idle_;  // least recently used first
};

ConverterPool& Pool()
{
    thread_local ConverterPool pool;
    return pool;
}

// A converter in its initial state for the time of one conversion: one from this
// thread's pool when there is one, given back afterwards when its encodings allow
// reuse; otherwise closed afterwards. A conversion inside another (there is none
// today) would simply open a converter of its own.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from)
    {
        pooled_ = Pool().Take(to, from, &converter_);
        if (pooled_)
            return;
        converter_.cd = iconv_open(to, from);
        pooled_ = valid() && IsReusable(to) && IsReusable(from);
        if (pooled_) {
            converter_.to = to;
            converter_.from = from;
        }
    }
    ~IconvHandle()
    {
        if (!valid())
            return;
        if (pooled_)
            Pool().Give(std::move(converter_));
        else
            iconv_close(converter_.cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool valid() const { return converter_.cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return converter_.cd; }

private:
    Converter converter_;
    bool pooled_ = false;
};

// Size of one code unit: an undecodable UTF-16 or UTF-32 unit is skipped whole so that
// the rest of the file stays aligned; every other encoding skips one byte.
size_t codeUnitSize(const QByteArray& encoding)
{
    const auto startsWith = [&](const char* prefix) {
        return qstrnicmp(encoding.constData(), prefix, qstrlen(prefix)) == 0;
    };
    if (startsWith("UTF-16") || startsWith("UCS-2"))
        return 2;
    if (startsWith("UTF-32") || startsWith("UCS-4"))
        return 4;
    return 1;
}

// The double-byte code pages: their lead bytes, so that an undecodable pair is skipped
// whole and its trail byte (often an ASCII letter) never shows as a character of its own.
struct DoubleByteCodePage {
    const char* name;
    unsigned char leadFirst, leadLast, leadFirst2, leadLast2;
};
constexpr DoubleByteCodePage kDoubleByte[] = {
    {"CP932", 0x81, 0x9F, 0xE0, 0xFC},
    {"CP936", 0x81, 0xFE, 0x81, 0xFE},
    {"GBK", 0x81, 0xFE, 0x81, 0xFE},
    {"CP949", 0x81, 0xFE, 0x81, 0xFE},
    {"CP950", 0x81, 0xFE, 0x81, 0xFE},
    {"BIG5", 0x81, 0xFE, 0x81, 0xFE},
};

const DoubleByteCodePage* doubleByte(const QByteArray& encoding)
{
    for (const DoubleByteCodePage& page : kDoubleByte)
        if (encoding.compare(page.name, Qt::CaseInsensitive) == 0)
            return &page;
    return nullptr;
}

bool isTrailByte(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// The private-use character Windows gives a pair in Big5's user-defined rows, which
// iconv does not know (rows C6A1-C8FE it maps itself); 0 for any other pair.
char16_t big5UserDefined(unsigned char lead, unsigned char trail)
{
    if (!isTrailByte(trail) || trail == 0x80 || (trail > 0x7E && trail < 0xA1))
        return 0;
    const int column = trail <= 0x7E ? trail - 0x40 : trail - 0xA1 + 63;  // 157 a row
    if (lead >= 0xFA && lead <= 0xFE)
        return char16_t(0xE000 + (lead - 0xFA) * 157 + column);
    if (lead >= 0x8E && lead <= 0xA0)
        return char16_t(0xE311 + (lead - 0x8E) * 157 + column);
    if (lead >= 0x81 && lead <= 0x8D)
        return char16_t(0xEEB8 + (lead - 0x81) * 157 + column);
    return 0;
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
        const auto lead = static_cast<unsigned char>(in[0]);
        const auto trail = inLeft >= 2 ? static_cast<unsigned char>(in[1]) : 0;
        const bool big5 = encoding.compare("CP950", Qt::CaseInsensitive) == 0 || encoding.compare("BIG5", Qt::CaseInsensitive) == 0;
        const char16_t userDefined = big5 && inLeft >= 2 ? big5UserDefined(lead, trail) : 0;
        if (requireClean && !userDefined)
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
        if (userDefined) {
            out[written++] = QChar(userDefined);
            in += 2;
            inLeft -= 2;
            continue;
        }
        out[written++] = QChar(kReplacement);
        size_t skip = qMin(unit, inLeft);
        if (const DoubleByteCodePage* page = doubleByte(encoding)) {
            const bool isLead = (lead >= page->leadFirst && lead <= page->leadLast)
                             || (lead >= page->leadFirst2 && lead <= page->leadLast2);
            if (isLead && inLeft >= 2 && isTrailByte(trail))
                skip = 2;
        }
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
    // Built once: the RTF reader asks for the name of every run of text it decodes.
    static const QHash<int, QByteArray> names = [] {
        QHash<int, QByteArray> built;
        for (const NamedCodePage& named : kNamedCodePages)
            built.insert(named.codePage, named.iconvName);
        for (const int number : kWindowsCodePages)
            built.insert(number, "CP" + QByteArray::number(number));
        return built;
    }();
    return names.value(codePage);
}

int CodePageForCharset(int charset)
{
    const CharsetRow* row = FindCharset(charset);
    return row ? row->codePage : 0;
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
