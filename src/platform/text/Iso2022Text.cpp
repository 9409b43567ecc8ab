#include "platform/text/Iso2022Text.h"

#include "platform/text/CodePages.h"

#include <QList>
#include <cstring>

namespace {

enum class Family { None, Japanese, Korean, Chinese };

// The family of the first escape sequence at bytes[at] (an ESC) that designates a
// double-byte set, or None.
Family familyAt(const char* p, qsizetype left)
{
    if (left < 3 || p[1] != '$')
        return Family::None;
    const char a = p[2];
    if (a == '@' || a == 'B')  // JIS C 6226-1978, JIS X 0208
        return Family::Japanese;
    if (left < 4)
        return Family::None;
    const char b = p[3];
    if (a == '(' && (b == 'D' || b == 'O' || b == 'Q' || b == 'P'))  // JIS X 0212, 0213
        return Family::Japanese;
    if (a == ')' && b == 'C')  // KS C 5601
        return Family::Korean;
    if ((a == ')' && (b == 'A' || b == 'G' || b == 'E')) || (a == '*' && b == 'H'))  // GB 2312, CNS 11643
        return Family::Chinese;
    return Family::None;
}

}  // namespace

QByteArray DetectIso2022(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    const qsizetype size = bytes.size();
    Family family = Family::None;
    // Mail and news hold nothing but seven-bit bytes; one high byte rules the file out.
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        if (b >= 0x80)
            return {};
        if (b == 0x1B && family == Family::None)
            family = familyAt(p + i, size - i);
    }
    QList<QByteArray> candidates;
    switch (family) {
    case Family::None:
        return {};
    case Family::Japanese:
        candidates = {"ISO-2022-JP", "ISO-2022-JP-2", "ISO-2022-JP-3"};
        break;
    case Family::Korean:
        candidates = {"ISO-2022-KR"};
        break;
    case Family::Chinese:
        candidates = {"ISO-2022-CN", "ISO-2022-CN-EXT"};
        break;
    }
    QByteArray firstClean;
    for (const QByteArray& encoding : candidates) {
        const std::optional<QString> text = DecodeBytes(bytes, encoding, nullptr, true);
        if (!text)
            continue;
        if (firstClean.isEmpty())
            firstClean = encoding;
        if (EncodeString(*text, encoding) == bytes)
            return encoding;
    }
    return firstClean;
}
