#pragma once
// A formatted Japanese/Cyrillic document for the benchmarks, kept as paragraphs of
// styled runs so that the same content can be written as RTF and built directly into a
// QTextDocument. The RTF is written the way word processors write it: a font table with
// Shift-JIS (\fcharset128) and Cyrillic (\fcharset204) fonts, and the text of each run
// as \'hh escapes in its font's code page (CP932 or CP1251).
#include "platform/richedit/DocumentProperties.h"
#include "platform/text/CodePages.h"

#include <QByteArray>
#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFormat>
#include <optional>
#include <vector>

struct BenchRtfRun {
    QString text;
    int font = 0;  // index into BenchRtfFonts()
    int halfPoints = 21;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;  // index into the colour table; 0 is the automatic colour
};

struct BenchRtfParagraph {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int firstLineTwips = 0;
    int spaceAfterTwips = 0;
    std::vector<BenchRtfRun> runs;
};

struct BenchRtfFont {
    QString name;
    int charset;
    const char* family;
    const char* codePage;  // iconv name of the charset's code page
};

inline const std::vector<BenchRtfFont>& BenchRtfFonts()
{
    static const std::vector<BenchRtfFont> fonts = {
        {QStringLiteral("Arial"), 0, "fswiss", "CP1252"},
        {QString::fromUtf8("ＭＳ 明朝"), 128, "froman", "CP932"},
        {QString::fromUtf8("ＭＳ ゴシック"), 128, "fmodern", "CP932"},
        {QStringLiteral("Times New Roman"), 204, "froman", "CP1251"},
        {QStringLiteral("Arial"), 204, "fswiss", "CP1251"},
    };
    return fonts;
}

inline const std::vector<QColor>& BenchRtfColors()
{
    static const std::vector<QColor> colors = {QColor(), QColor(0, 0, 0), QColor(192, 0, 0), QColor(0, 0, 160),
                                               QColor(0, 128, 0)};
    return colors;
}

// Paragraphs of three to eight runs that alternate between Japanese and Cyrillic text,
// with bold, italic, underlined and coloured runs and five paragraph formats in turn.
inline BenchRtfParagraph BenchRtfParagraphAt(int index)
{
    static const QString japanese[] = {
        QString::fromUtf8("日本語の文章です。"), QString::fromUtf8("東京は日本の首都で、人口が多い都市です。"),
        QString::fromUtf8("カタカナのテキストとひらがなの文字。"), QString::fromUtf8("漢字と仮名が混ざっています。"),
    };
    static const QString cyrillic[] = {
        QString::fromUtf8("Съешь же ещё этих мягких французских булок, да выпей чаю. "),
        QString::fromUtf8("Москва и Санкт-Петербург. "), QString::fromUtf8("Строка кириллического текста. "),
    };
    BenchRtfParagraph paragraph;
    switch (index % 5) {
    case 0:
        break;
    case 1:
        paragraph.alignment = Qt::AlignHCenter;
        break;
    case 2:
        paragraph.alignment = Qt::AlignJustify;
        paragraph.firstLineTwips = 360;
        break;
    case 3:
        paragraph.leftTwips = 720;
        paragraph.spaceAfterTwips = 120;
        break;
    default:
        paragraph.alignment = Qt::AlignRight;
        break;
    }
    const int runs = 3 + index % 6;
    for (int r = 0; r < runs; ++r) {
        const int k = index + r;
        BenchRtfRun run;
        if (r % 2 == 0) {
            run.text = japanese[k % 4];
            run.font = 1 + k % 2;
        } else {
            run.text = cyrillic[k % 3];
            run.font = 3 + k % 2;
        }
        run.halfPoints = (k % 4 == 3) ? 28 : 21;
        run.bold = k % 3 == 1;
        run.italic = k % 5 == 2;
        run.underline = k % 7 == 4;
        run.color = (k % 4 == 1) ? 1 + k % 4 : 0;
        paragraph.runs.push_back(run);
    }
    return paragraph;
}

// Writes runs' text as RTF in each font's code page; a character's bytes are looked
// up once per code page.
class BenchRtfWriter {
public:
    QByteArray Header()
    {
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033\\deflangfe1041{\\fonttbl";
        const std::vector<BenchRtfFont>& fonts = BenchRtfFonts();
        for (std::size_t i = 0; i < fonts.size(); ++i) {
            out += "{\\f" + QByteArray::number(static_cast<int>(i)) + '\\' + fonts[i].family + "\\fcharset"
                + QByteArray::number(fonts[i].charset) + ' ';
            for (const QChar c : fonts[i].name)
                out += Escaped(c, fonts[i].codePage);
            out += ";}";
        }
        out += "}\r\n{\\colortbl ;";
        const std::vector<QColor>& colors = BenchRtfColors();
        for (std::size_t i = 1; i < colors.size(); ++i)
            out += "\\red" + QByteArray::number(colors[i].red()) + "\\green" + QByteArray::number(colors[i].green())
                + "\\blue" + QByteArray::number(colors[i].blue()) + ';';
        out += "}\r\n\\viewkind4\\uc1\r\n";
        return out;
    }

    QByteArray Paragraph(const BenchRtfParagraph& paragraph)
    {
        QByteArray out = "\\pard";
        if (paragraph.alignment == Qt::AlignHCenter)
            out += "\\qc";
        else if (paragraph.alignment == Qt::AlignRight)
            out += "\\qr";
        else if (paragraph.alignment == Qt::AlignJustify)
            out += "\\qj";
        if (paragraph.leftTwips)
            out += "\\li" + QByteArray::number(paragraph.leftTwips);
        if (paragraph.firstLineTwips)
            out += "\\fi" + QByteArray::number(paragraph.firstLineTwips);
        if (paragraph.spaceAfterTwips)
            out += "\\sa" + QByteArray::number(paragraph.spaceAfterTwips);
        out += ' ';
        for (const BenchRtfRun& run : paragraph.runs) {
            const BenchRtfFont& font = BenchRtfFonts()[static_cast<std::size_t>(run.font)];
            out += "{\\f" + QByteArray::number(run.font) + "\\fs" + QByteArray::number(run.halfPoints);
            if (font.charset == 128)
                out += "\\lang1041";
            else if (font.charset == 204)
                out += "\\lang1049";
            if (run.bold)
                out += "\\b";
            if (run.italic)
                out += "\\i";
            if (run.underline)
                out += "\\ul";
            if (run.color)
                out += "\\cf" + QByteArray::number(run.color);
            out += ' ';
            // Lines of about 200 characters, broken after an escape, as writers do.
            qsizetype lineStart = out.size();
            for (const QChar c : run.text) {
                out += Escaped(c, font.codePage);
                if (out.size() - lineStart > 200) {
                    out += "\r\n";
                    lineStart = out.size();
                }
            }
            out += '}';
        }
        out += "\\par\r\n";
        return out;
    }

    static QByteArray Footer() { return "}\r\n"; }

private:
    QByteArray Escaped(QChar c, const char* codePage)
    {
        if (c.unicode() >= 0x20 && c.unicode() < 0x80) {
            if (c == QLatin1Char('\\') || c == QLatin1Char('{') || c == QLatin1Char('}'))
                return QByteArray("\\") + char(c.unicode());
            return QByteArray(1, char(c.unicode()));
        }
        const QString key = QString::fromLatin1(codePage) + c;
        auto it = cache_.constFind(key);
        if (it != cache_.constEnd())
            return *it;
        QByteArray escaped;
        const std::optional<QByteArray> bytes = EncodeString(QString(c), codePage);
        if (bytes) {
            static const char hex[] = "0123456789abcdef";
            for (const char b : *bytes) {
                const auto u = static_cast<unsigned char>(b);
                escaped += "\\'";
                escaped += hex[u >> 4];
                escaped += hex[u & 15];
            }
        } else {
            escaped = "\\u" + QByteArray::number(c.unicode()) + '?';
        }
        cache_.insert(key, escaped);
        return escaped;
    }

    QHash<QString, QByteArray> cache_;
};

// The number of paragraphs whose RTF reaches at least bytes, and that RTF. A picture (an
// RTF \pict group), when given, follows the first run of every pictureEvery-th paragraph.
inline QByteArray BenchRtf(qint64 bytes, int* paragraphCount, const QByteArray& picture = QByteArray(),
                           int pictureEvery = 1)
{
    BenchRtfWriter writer;
    QByteArray out = writer.Header();
    int count = 0;
    while (out.size() < bytes) {
        QByteArray paragraph = writer.Paragraph(BenchRtfParagraphAt(count));
        if (!picture.isEmpty() && count % pictureEvery == 0)
            paragraph.insert(paragraph.indexOf('}') + 1, picture);
        out += paragraph;
        ++count;
    }
    out += BenchRtfWriter::Footer();
    if (paragraphCount)
        *paragraphCount = count;
    return out;
}

// Builds the first count paragraphs into doc with a QTextCursor: the content the RTF
// above describes, with no RTF to read, in one edit block so that the document is laid
// out once. Lengths in twips become pixels at ppi. A picture, when given, follows the
// first run of every pictureEvery-th paragraph, as in BenchRtf.
inline void BuildBenchRtfDocument(QTextDocument& doc, int count, int ppi,
                                  const QTextImageFormat* picture = nullptr, int pictureEvery = 1)
{
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (int i = 0; i < count; ++i) {
        const BenchRtfParagraph paragraph = BenchRtfParagraphAt(i);
        QTextBlockFormat block;
        block.setAlignment(paragraph.alignment);
        block.setLeftMargin(paragraph.leftTwips * ppi / 1440.0);
        block.setTextIndent(paragraph.firstLineTwips * ppi / 1440.0);
        block.setBottomMargin(paragraph.spaceAfterTwips * ppi / 1440.0);
        if (i == 0)
            cursor.setBlockFormat(block);
        else
            cursor.insertBlock(block);
        for (std::size_t r = 0; r < paragraph.runs.size(); ++r) {
            const BenchRtfRun& run = paragraph.runs[r];
            const BenchRtfFont& font = BenchRtfFonts()[static_cast<std::size_t>(run.font)];
            QTextCharFormat format;
            format.setFontFamilies(QStringList{font.name});
            format.setProperty(DocumentProperty::Charset, font.charset);
            format.setFontPointSize(run.halfPoints / 2.0);
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            format.setFontUnderline(run.underline);
            if (run.color)
                format.setForeground(BenchRtfColors()[static_cast<std::size_t>(run.color)]);
            cursor.insertText(run.text, format);
            if (picture && r == 0 && i % pictureEvery == 0)
                cursor.insertImage(*picture);
        }
    }
    cursor.endEditBlock();
}
