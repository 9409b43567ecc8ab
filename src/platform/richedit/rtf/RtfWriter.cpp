#include "platform/richedit/rtf/RtfWriter.h"

#include "platform/richedit/DocumentProperties.h"
#include "platform/layout/ImageResource.h"
#include "platform/richedit/rtf/RtfEmitter.h"
#include "platform/richedit/rtf/RtfEncoding.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <algorithm>
#include <cmath>
#include <vector>

namespace rtf {
namespace {

// The desktop's code page: the header declares it, and text in fonts without a
// character set of their own falls back to it.
constexpr int kDocumentCodePage = 932;
// DEFAULT_CHARSET, for fonts whose text carries no character set.
constexpr int kDefaultCharset = 1;
// Bullets are written as \'95, the bullet of code page 1252, in a font of that code page.
constexpr unsigned char kBulletByte = 0x95;
constexpr int kMaxHalfPoints = 3276;

struct FontEntry {
    QString family;
    int charset;
};

// A run's formatting as written after \plain. codePage follows from the font.
struct RunStyle {
    int font = -1;  // -1: the document's default font, \deff0
    int halfPoints = 0;
    int color = 0;  // 0: automatic
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int codePage = kDocumentCodePage;

    bool operator==(const RunStyle& o) const
    {
        return font == o.font && halfPoints == o.halfPoints && color == o.color && bold == o.bold
            && italic == o.italic && underline == o.underline && strike == o.strike;
    }
};

bool Contains(const QString& name, const char* fragment)
{
    return name.contains(QString::fromUtf8(fragment), Qt::CaseInsensitive);
}

bool ContainsAny(const QString& name, std::initializer_list<const char*> fragments)
{
    return std::any_of(fragments.begin(), fragments.end(), [&](const char* fragment) { return Contains(name, fragment); });
}

// The font family control word readers use to pick a substitute when the face itself
// is missing; guessed from the name.
const char* FamilyWord(const QString& name)
{
    if (ContainsAny(name, {"Mono", "Courier", "Consol", "Fixed", "Terminal"}))
        return "fmodern";
    if (ContainsAny(name, {"Symbol", "Wingdings", "Webdings"}))
        return "ftech";
    if (ContainsAny(name, {"Sans", "Arial", "Helvetica", "Gothic", "ゴシック", "Meiryo", "メイリオ",
                           "Tahoma", "Verdana", "Segoe", "Calibri", "Hei", "黑", "Dotum", "돋움",
                           "Gulim", "굴림", "Malgun", "맑은"}))
        return "fswiss";
    if (ContainsAny(name, {"Serif", "Times", "Roman", "Mincho", "明朝", "Song", "宋", "Ming", "明",
                           "Batang", "바탕", "Georgia", "Garamond", "Century", "Palatino"}))
        return "froman";
    if (ContainsAny(name, {"Script", "Brush", "Comic"}))
        return "fscript";
    return "fnil";
}

QString FamilyOf(const QTextCharFormat& format)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.constFirst().isEmpty())
        return families.constFirst();
    return format.property(QTextFormat::FontFamily).toString();
}

class Writer {
public:
    Writer(const QTextDocument& doc, int ppi) : doc_(doc), ppi_(ppi) {}
    QByteArray Write();

private:
    void Collect();
    int AddFont(const QString& family, int charset);
    int AddColor(const QColor& color);
    RunStyle StyleOf(const QTextCharFormat& format);
    void WriteFontTable();
    void WriteColorTable();
    void WriteListTables();
    void WriteBulletText(const char* destination);
    void WriteParagraph(const QTextBlock& block);
    void WritePicture(const QTextImageFormat& format);
    void WriteRunStyle(const RunStyle& style);

    const QTextDocument& doc_;
    int ppi_;
    Emitter out_;
    std::vector<FontEntry> fonts_;
    QHash<QString, int> fontIndex_;
    std::vector<QColor> colors_;  // colour table entries after the automatic one
    QHash<QRgb, int> colorIndex_;
    QString defaultFamily_;
    double defaultPoints_ = 0;
    bool hasBullets_ = false;
    int bulletFont_ = 0;
};

int Writer::AddFont(const QString& family, int charset)
{
    const QString key = family + QChar(0x1f) + QString::number(charset);
    const auto found = fontIndex_.constFind(key);
    if (found != fontIndex_.constEnd())
        return *found;
    fonts_.push_back(FontEntry{family, charset});
    const int index = static_cast<int>(fonts_.size()) - 1;
    fontIndex_.insert(key, index);
    return index;
}

int Writer::AddColor(const QColor& color)
{
    const QRgb rgb = color.rgb() & 0xffffff;
    const auto found = colorIndex_.constFind(rgb);
    if (found != colorIndex_.constEnd())
        return *found;
    colors_.push_back(color);
    const int index = static_cast<int>(colors_.size());
    colorIndex_.insert(rgb, index);
    return index;
}

// The same in both passes: the first adds the fonts and colours, the second finds them.
RunStyle Writer::StyleOf(const QTextCharFormat& format)
{
    RunStyle style;
    const QString family = FamilyOf(format);
    const bool hasCharset = format.hasProperty(DocumentProperty::Charset);
    const int charset = hasCharset ? std::clamp(format.intProperty(DocumentProperty::Charset), 0, 255)
                                   : kDefaultCharset;
    if (!family.isEmpty() || hasCharset)
        style.font = AddFont(family.isEmpty() ? defaultFamily_ : family, charset);
    style.codePage = CodePageForFont(fonts_[static_cast<std::size_t>(std::max(style.font, 0))].charset, 0,
                                     kDocumentCodePage);
    // Text without a size of its own is written in the default font's size, so every
    // reader shows it as this document does.
    const double points = format.fontPointSize() > 0 ? format.fontPointSize() : defaultPoints_;
    if (points > 0)
        style.halfPoints = std::clamp(static_cast<int>(std::lround(points * 2)), 1, kMaxHalfPoints);
    style.bold = format.fontWeight() >= QFont::DemiBold;
    style.italic = format.fontItalic();
    style.underline = format.fontUnderline();
    style.strike = format.fontStrikeOut();
    if (format.foreground().style() != Qt::NoBrush)
        style.color = AddColor(format.foreground().color());
    return style;
}

void Writer::Collect()
{
    const QFont font = doc_.defaultFont();
    defaultFamily_ = font.family();
    if (font.pointSizeF() > 0)
        defaultPoints_ = font.pointSizeF();
    else if (font.pixelSize() > 0)
        defaultPoints_ = font.pixelSize() * 72.0 / std::max(ppi_, 1);
    AddFont(defaultFamily_, kDefaultCharset);  // \f0, the \deff0 font
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next()) {
        hasBullets_ = hasBullets_ || block.textList() != nullptr;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            StyleOf(it.fragment().charFormat());
    }
    if (hasBullets_)
        bulletFont_ = AddFont(QStringLiteral("Arial"), 0);
}

void Writer::WriteFontTable()
{
    out_.OpenGroup();
    out_.Word("fonttbl");
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        const FontEntry& font = fonts_[i];
        out_.OpenGroup();
        out_.Word("f", static_cast<int>(i));
        out_.Word(FamilyWord(font.family));
        out_.Word("fcharset", font.charset);
        out_.Name(font.family, CodePageForFont(font.charset, 0, kDocumentCodePage));
        out_.Text(u";", kDocumentCodePage);
        out_.CloseGroup();
    }
    out_.CloseGroup();
    out_.LineBreak();
}

void Writer::WriteColorTable()
{
    out_.OpenGroup();
    out_.Word("colortbl");
    out_.Text(u";", kDocumentCodePage);
    for (const QColor& color : colors_) {
        out_.Word("red", color.red());
        out_.Word("green", color.green());
        out_.Word("blue", color.blue());
        out_.Text(u";", kDocumentCodePage);
    }
    out_.CloseGroup();
    out_.LineBreak();
}

// One simple bullet list, \ls1, used by every bulleted paragraph.
void Writer::WriteListTables()
{
    out_.OpenGroup();
    out_.Word("*");
    out_.Word("listtable");
    out_.OpenGroup();
    out_.Word("list");
    out_.Word("listtemplateid", 1);
    out_.Word("listsimple");
    out_.OpenGroup();
    out_.Word("listlevel");
    out_.Word("levelnfc", 23);
    out_.Word("levelnfcn", 23);
    out_.Word("leveljc", 0);
    out_.Word("leveljcn", 0);
    out_.Word("levelfollow", 0);
    out_.Word("levelstartat", 1);
    out_.Word("levelindent", 0);
    out_.OpenGroup();
    out_.Word("leveltext");
    out_.Byte(1);
    out_.Text(u"\u2022", 1252);
    out_.Text(u";", 1252);
    out_.CloseGroup();
    out_.OpenGroup();
    out_.Word("levelnumbers");
    out_.Text(u";", 1252);
    out_.CloseGroup();
    out_.Word("f", bulletFont_);
    out_.CloseGroup();
    out_.Word("listid", 1);
    out_.CloseGroup();
    out_.CloseGroup();
    out_.LineBreak();

    out_.OpenGroup();
    out_.Word("*");
    out_.Word("listoverridetable");
    out_.OpenGroup();
    out_.Word("listoverride");
    out_.Word("listid", 1);
    out_.Word("listoverridecount", 0);
    out_.Word("ls", 1);
    out_.CloseGroup();
    out_.CloseGroup();
    out_.LineBreak();
}

// {\pntext\f1\'95\tab} and {\listtext\f1\'95\tab}: the bullet as text, for readers
// that do not number paragraphs themselves.
void Writer::WriteBulletText(const char* destination)
{
    out_.OpenGroup();
    out_.Word(destination);
    out_.Word("f", bulletFont_);
    out_.Byte(kBulletByte);
    out_.Word("tab");
    out_.CloseGroup();
}

void Writer::WriteRunStyle(const RunStyle& style)
{
    out_.Word("plain");
    if (style.font >= 0)
        out_.Word("f", style.font);
    if (style.halfPoints > 0)
        out_.Word("fs", style.halfPoints);
    if (style.bold)
        out_.Word("b");
    if (style.italic)
        out_.Word("i");
    if (style.underline)
        out_.Word("ul");
    if (style.strike)
        out_.Word("strike");
    if (style.color > 0)
        out_.Word("cf", style.color);
}

void Writer::WriteParagraph(const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    const bool bullet = block.textList() != nullptr;
    out_.Word("pard");
    if (bullet) {
        WriteBulletText("pntext");
        out_.OpenGroup();
        out_.Word("*");
        out_.Word("pn");
        out_.Word("pnlvlblt");
        out_.Word("pnf", bulletFont_);
        out_.Word("pnindent", 0);
        out_.OpenGroup();
        out_.Word("pntxtb");
        out_.Byte(kBulletByte);
        out_.CloseGroup();
        out_.CloseGroup();
    }
    // The direction the paragraph is shown in, detected from its text when it has none
    // of its own; \ql and \qr name the edge it is shown at, as RTF readers take them.
    const Qt::LayoutDirection direction = block.textDirection();
    if (direction == Qt::RightToLeft)
        out_.Word("rtlpar");
    const Qt::Alignment alignment = QStyle::visualAlignment(direction, format.alignment() & Qt::AlignHorizontal_Mask);
    out_.Word(alignment & Qt::AlignHCenter ? "qc" : alignment & Qt::AlignRight ? "qr" : "ql");

    int first = 0, left = 0, right = 0;
    if (format.hasProperty(DocumentProperty::FirstIndentTwips) || format.hasProperty(DocumentProperty::LeftIndentTwips)
        || format.hasProperty(DocumentProperty::RightIndentTwips)) {
        first = format.intProperty(DocumentProperty::FirstIndentTwips);
        left = format.intProperty(DocumentProperty::LeftIndentTwips);
        right = format.intProperty(DocumentProperty::RightIndentTwips);
    } else {
        // Qt's margins are the edges the reader sees; RTF's left indent is the leading one.
        const bool rightToLeft = direction == Qt::RightToLeft;
        const qreal leading = rightToLeft ? format.rightMargin() : format.leftMargin();
        left = PixelsToTwips(-format.textIndent(), ppi_);
        first = PixelsToTwips(leading + format.textIndent(), ppi_);
        right = PixelsToTwips(rightToLeft ? format.leftMargin() : format.rightMargin(), ppi_);
    }
    // \li is the later lines' indent, \fi the first line's offset from it.
    out_.Word("fi", -left);
    out_.Word("li", first + left);
    out_.Word("ri", right);
    if (bullet) {
        out_.Word("ls", 1);
        out_.Word("ilvl", 0);
        WriteBulletText("listtext");
    }

    bool styleWritten = false;
    RunStyle current;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const RunStyle style = StyleOf(fragment.charFormat());
        if (!styleWritten || !(style == current)) {
            WriteRunStyle(style);
            current = style;
            styleWritten = true;
        }
        const QTextCharFormat format = fragment.charFormat();
        if (!format.isImageFormat()) {
            out_.Text(fragment.text(), style.codePage);
            continue;
        }
        // Each object replacement character of the fragment is one picture. Text that
        // took a picture's format, as text pasted beside one could, stays text.
        const QString text = fragment.text();
        qsizetype runStart = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != QChar::ObjectReplacementCharacter)
                continue;
            if (i > runStart)
                out_.Text(QStringView(text).mid(runStart, i - runStart), style.codePage);
            if (i < text.size())
                WritePicture(format.toImageFormat());
            runStart = i + 1;
        }
    }
    out_.Word("par");
    out_.LineBreak();
}

// A picture read from RTF goes back as it came: its kind, size words and data. One
// that came another way (pasted) is written as PNG at the size it is shown at.
void Writer::WritePicture(const QTextImageFormat& format)
{
    using namespace DocumentProperty;
    QByteArray data;
    QByteArray kind;
    int kindParameter = -1;
    int width = 0, height = 0, goalWidth = 0, goalHeight = 0, scaleX = 100, scaleY = 100;
    if (format.hasProperty(PictureData)) {
        data = format.property(PictureData).toByteArray();
        kind = format.stringProperty(PictureKind).toLatin1();
        kindParameter = format.intProperty(PictureKindParameter);
        width = format.intProperty(PictureWidth);
        height = format.intProperty(PictureHeight);
        goalWidth = format.intProperty(PictureGoalWidth);
        goalHeight = format.intProperty(PictureGoalHeight);
        scaleX = format.intProperty(PictureScaleX);
        scaleY = format.intProperty(PictureScaleY);
    } else {
        const QImage image = ImageResourceOf(doc_, format.name());
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = "pngblip";
        width = image.width();
        height = image.height();
        goalWidth = PixelsToTwips(format.width() > 0 ? format.width() : image.width(), ppi_);
        goalHeight = PixelsToTwips(format.height() > 0 ? format.height() : image.height(), ppi_);
    }
    out_.OpenGroup();
    out_.Word("pict");
    if (!kind.isEmpty()) {
        if (kindParameter >= 0)
            out_.Word(kind.constData(), kindParameter);
        else
            out_.Word(kind.constData());
    }
    if (width > 0)
        out_.Word("picw", width);
    if (height > 0)
        out_.Word("pich", height);
    if (goalWidth > 0)
        out_.Word("picwgoal", goalWidth);
    if (goalHeight > 0)
        out_.Word("pichgoal", goalHeight);
    if (scaleX > 0 && scaleX != 100)
        out_.Word("picscalex", scaleX);
    if (scaleY > 0 && scaleY != 100)
        out_.Word("picscaley", scaleY);
    out_.HexData(data);
    out_.CloseGroup();
}

QByteArray Writer::Write()
{
    Collect();
    out_.OpenGroup();
    out_.Word("rtf", 1);
    out_.Word("ansi");
    out_.Word("ansicpg", kDocumentCodePage);
    out_.Word("deff", 0);
    out_.LineBreak();
    WriteFontTable();
    WriteColorTable();
    if (hasBullets_)
        WriteListTables();
    out_.OpenGroup();
    out_.Word("*");
    out_.Word("generator");
    out_.Text(u"Tesserine;", kDocumentCodePage);
    out_.CloseGroup();
    out_.Word("viewkind", 4);
    out_.Word("uc", 1);
    out_.LineBreak();
    // Every paragraph ends with \par, the last one too, as WordPad writes it.
    for (QTextBlock block = doc_.begin(); block.isValid(); block = block.next())
        WriteParagraph(block);
    out_.CloseGroup();
    out_.LineBreak();
    return out_.Take();
}

} // namespace

QByteArray WriteDocument(const QTextDocument& doc, int ppi)
{
    return Writer(doc, ppi).Write();
}

} // namespace rtf
