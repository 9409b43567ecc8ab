#include "document/EncodingChoices.h"

#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/CodePages.h"

namespace {

EncodingChoice choice(const QString& label, const QByteArray& encoding, bool byteOrderMark = false)
{
    EncodingChoice made;
    made.label = label;
    made.format.encoding = encoding;
    made.format.byteOrderMark = byteOrderMark;
    return made;
}

bool sameEncoding(const TextFileFormat& a, const TextFileFormat& b)
{
    return a.encoding.compare(b.encoding, Qt::CaseInsensitive) == 0 && a.byteOrderMark == b.byteOrderMark;
}

constexpr LineEnding kLineEndings[] = {LineEnding::CRLF, LineEnding::LF, LineEnding::CR};

} // namespace

const std::vector<EncodingChoice>& NamedEncodings()
{
    static const std::vector<EncodingChoice> choices = [] {
        std::vector<EncodingChoice> list = {
            choice(QStringLiteral("UTF-8"), "UTF-8"),
            choice(QStringLiteral("UTF-8 (BOM)"), "UTF-8", true),
            choice(QStringLiteral("UTF-16LE"), "UTF-16LE", true),
            choice(QStringLiteral("UTF-16BE"), "UTF-16BE", true),
            choice(QStringLiteral("Shift_JIS (CP932)"), "CP932"),
            choice(QStringLiteral("EUC-JP"), "EUC-JP"),
            choice(QStringLiteral("ISO-2022-JP"), "ISO-2022-JP"),
        };
        // Japanese's code page is Shift_JIS (CP932) above.
        const LanguageCharsetRow* rows = LanguageCharsetTable();
        for (int i = 0; i < kLanguageCount; ++i) {
            const int codePage = CodePageForCharset(rows[i].charset);
            if (codePage == 932)
                continue;
            const QByteArray encoding = IconvNameForCodePage(codePage);
            list.push_back(choice(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(rows[i].label),
                                                                QString::fromLatin1(encoding)),
                                  encoding));
        }
        return list;
    }();
    return choices;
}

QStringList OpenEncodingLabels()
{
    QStringList labels{QString::fromUtf8("自動判別")};
    for (const EncodingChoice& named : NamedEncodings())
        labels << named.label;
    return labels;
}

QByteArray OpenEncodingAt(int index)
{
    const std::vector<EncodingChoice>& named = NamedEncodings();
    if (index < 1 || index > static_cast<int>(named.size()))
        return {};
    return named[index - 1].format.encoding;
}

std::vector<EncodingChoice> SaveEncodings(const TextFileFormat& current)
{
    std::vector<EncodingChoice> choices = NamedEncodings();
    if (IndexOfEncoding(choices, current) < 0)
        choices.push_back(choice(EncodingLabel(current), current.encoding, current.byteOrderMark));
    return choices;
}

int IndexOfEncoding(const std::vector<EncodingChoice>& choices, const TextFileFormat& format)
{
    for (size_t i = 0; i < choices.size(); ++i) {
        if (sameEncoding(choices[i].format, format))
            return static_cast<int>(i);
    }
    return -1;
}

QString EncodingLabel(const TextFileFormat& format)
{
    const int named = IndexOfEncoding(NamedEncodings(), format);
    if (named >= 0)
        return NamedEncodings()[named].label;
    const QString name = QString::fromLatin1(format.encoding);
    // A Unicode file read without a byte-order mark is saved without one.
    if (format.encoding.toUpper().startsWith("UTF-") && !format.byteOrderMark)
        return name + QString::fromUtf8(" (BOMなし)");
    return name;
}

QStringList LineEndingLabels()
{
    return {QStringLiteral("CRLF"), QStringLiteral("LF"), QStringLiteral("CR")};
}

LineEnding LineEndingAt(int index)
{
    return index >= 0 && index < 3 ? kLineEndings[index] : LineEnding::LF;
}

int IndexOfLineEnding(LineEnding ending)
{
    for (int i = 0; i < 3; ++i) {
        if (kLineEndings[i] == ending)
            return i;
    }
    return 1;
}
