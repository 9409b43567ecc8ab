#include "platform/richedit/rtf/RtfEncoding.h"

#include "platform/text/CodePages.h"

namespace rtf {

int CodePageForFont(int charset, int fontCodePage, int documentCodePage)
{
    if (fontCodePage > 0 && !IconvNameForCodePage(fontCodePage).isEmpty())
        return fontCodePage;
    const int fromCharset = charset >= 0 ? CodePageForCharset(charset) : 0;
    return fromCharset > 0 ? fromCharset : documentCodePage;
}

QString DecodeCodePage(const QByteArray& bytes, int codePage)
{
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    if (std::optional<QString> text = DecodeBytes(bytes, IconvNameForCodePage(codePage)))
        return *text;
    if (std::optional<QString> text = DecodeBytes(bytes, IconvNameForCodePage(1252)))
        return *text;
    return QString::fromLatin1(bytes);
}

QByteArray FallbackEncoder::Fallback(char32_t character, int codePage)
{
    const quint64 key = (static_cast<quint64>(static_cast<quint32>(codePage)) << 32) | character;
    const auto cached = cache_.constFind(key);
    if (cached != cache_.constEnd())
        return *cached;
    auto name = iconvNames_.constFind(codePage);
    if (name == iconvNames_.constEnd())
        name = iconvNames_.insert(codePage, IconvNameForCodePage(codePage));
    QByteArray bytes("?");
    if (!name->isEmpty()) {
        const char32_t units[] = {character};
        const std::optional<QByteArray> encoded = EncodeString(QString::fromUcs4(units, 1), *name);
        if (encoded && !encoded->isEmpty())
            bytes = *encoded;
    }
    cache_.insert(key, bytes);
    return bytes;
}

} // namespace rtf
