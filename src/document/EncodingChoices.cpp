#include "document/EncodingChoices.h"


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
    // Unicode and Japanese first; then, for each language of the foreign-language
    // search, its Windows code page under the label that search gives it, followed by
    // the other encodings its files are found in (ISO, KOI8, DOS, Hong Kong Big5).
    static const std::vector<EncodingChoice> choices = {
        choice(QStringLiteral("UTF-8"), "UTF-8"),
        choice(QStringLiteral("UTF-8 (BOM)"), "UTF-8", true),
        choice(QStringLiteral("UTF-16LE"), "UTF-16LE", true),
        choice(QStringLiteral("UTF-16BE"), "UTF-16BE", true),
        choice(QStringLiteral("Shift_JIS (CP932)"), "CP932"),
        choice(QStringLiteral("EUC-JP"), "EUC-JP"),
        choice(QStringLiteral("ISO-2022-JP"), "ISO-2022-JP"),
        choice(QString::fromUtf8("韓国語（Wansung） (CP949)"), "CP949"),
        choice(QString::fromUtf8("韓国語（Johab） (CP1361)"), "CP1361"),
        choice(QString::fromUtf8("簡体字中国語（大陸中国） (CP936)"), "CP936"),
        choice(QString::fromUtf8("簡体字中国語 (GB18030)"), "GB18030"),
        choice(QString::fromUtf8("繁体字中国語（台湾） (CP950)"), "CP950"),
        choice(QString::fromUtf8("繁体字中国語（香港） (Big5-HKSCS)"), "BIG5-HKSCS"),
        choice(QString::fromUtf8("ギリシア語 (CP1253)"), "CP1253"),
        choice(QString::fromUtf8("ギリシア語 (ISO-8859-7)"), "ISO-8859-7"),
        choice(QString::fromUtf8("トルコ語 (CP1254)"), "CP1254"),
        choice(QString::fromUtf8("トルコ語 (ISO-8859-9)"), "ISO-8859-9"),
        choice(QString::fromUtf8("ベトナム語 (CP1258)"), "CP1258"),
        choice(QString::fromUtf8("ヘブライ語 (CP1255)"), "CP1255"),
        choice(QString::fromUtf8("ヘブライ語 (ISO-8859-8)"), "ISO-8859-8"),
        choice(QString::fromUtf8("アラビア語 (CP1256)"), "CP1256"),
        choice(QString::fromUtf8("アラビア語 (ISO-8859-6)"), "ISO-8859-6"),
        choice(QString::fromUtf8("バルト諸国語 (CP1257)"), "CP1257"),
        choice(QString::fromUtf8("バルト諸国語 (ISO-8859-13)"), "ISO-8859-13"),
        choice(QString::fromUtf8("バルト諸国語 (ISO-8859-4)"), "ISO-8859-4"),
        choice(QString::fromUtf8("キリル文字 (CP1251)"), "CP1251"),
        choice(QString::fromUtf8("キリル文字 (KOI8-R)"), "KOI8-R"),
        choice(QString::fromUtf8("キリル文字 (KOI8-U)"), "KOI8-U"),
        choice(QString::fromUtf8("キリル文字 (CP866)"), "CP866"),
        choice(QString::fromUtf8("キリル文字 (ISO-8859-5)"), "ISO-8859-5"),
        choice(QString::fromUtf8("タイ語 (CP874)"), "CP874"),
        choice(QString::fromUtf8("東欧諸国 (CP1250)"), "CP1250"),
        choice(QString::fromUtf8("東欧諸国 (ISO-8859-2)"), "ISO-8859-2"),
        choice(QString::fromUtf8("西欧諸国 (CP1252)"), "CP1252"),
        choice(QString::fromUtf8("西欧諸国 (ISO-8859-1)"), "ISO-8859-1"),
        choice(QString::fromUtf8("西欧諸国 (ISO-8859-15)"), "ISO-8859-15"),
    };
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
