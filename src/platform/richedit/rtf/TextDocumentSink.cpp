#include "platform/richedit/rtf/TextDocumentSink.h"

#include "platform/richedit/DocumentProperties.h"

#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>
#include <QtEndian>
#include <atomic>
#include <cmath>

namespace rtf {
namespace {

// Documents use a handful of formats; a short list searched from the most recent end
// finds them quickly, and is emptied in the rare document that uses many.
constexpr std::size_t kMaxCachedFormats = 32;

} // namespace

QTextCharFormat ToCharFormat(const RunFormat& format)
{
    QTextCharFormat result;
    if (!format.family.isEmpty())
        result.setFontFamilies(QStringList{format.family});
    if (format.charset >= 0)
        result.setProperty(DocumentProperty::Charset, format.charset);
    if (format.points > 0)
        result.setFontPointSize(format.points);
    result.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    result.setFontStrikeOut(format.strikeOut);
    if (format.color.isValid())
        result.setForeground(format.color);
    return result;
}

TextDocumentSink::TextDocumentSink(QTextDocument& doc, int ppi) : cursor_(&doc), ppi_(ppi)
{
}

TextDocumentSink::~TextDocumentSink()
{
    Finish();
    EndEdit();
}

void TextDocumentSink::Edit()
{
    if (editing_)
        return;
    cursor_.beginEditBlock();
    editing_ = true;
}

void TextDocumentSink::EndEdit()
{
    if (!editing_)
        return;
    cursor_.endEditBlock();
    editing_ = false;
}

const QTextCharFormat& TextDocumentSink::CharFormat(const RunFormat& format)
{
    for (auto it = formats_.rbegin(); it != formats_.rend(); ++it)
        if (it->first == format)
            return it->second;
    if (formats_.size() >= kMaxCachedFormats)
        formats_.clear();
    formats_.emplace_back(format, ToCharFormat(format));
    return formats_.back().second;
}

const QTextBlockFormat& TextDocumentSink::BlockFormat(const ParagraphFormat& format)
{
    for (auto it = blockFormats_.rbegin(); it != blockFormats_.rend(); ++it)
        if (it->first == format)
            return it->second;
    if (blockFormats_.size() >= kMaxCachedFormats)
        blockFormats_.clear();
    QTextBlockFormat block;
    // Every paragraph has the direction the file gives it, left to right unless it says
    // otherwise, whatever its script. Left and right alignment name the edges the reader
    // sees, in a right-to-left paragraph too.
    block.setLayoutDirection(format.direction);
    const bool absolute = format.direction == Qt::RightToLeft && !(format.alignment & Qt::AlignHCenter);
    block.setAlignment(absolute ? format.alignment | Qt::AlignAbsolute : format.alignment);
    block.setProperty(DocumentProperty::FirstIndentTwips, format.firstIndentTwips);
    block.setProperty(DocumentProperty::LeftIndentTwips, format.leftIndentTwips);
    block.setProperty(DocumentProperty::RightIndentTwips, format.rightIndentTwips);
    ApplyIndentsToLayout(block, ppi_, format.direction, format.bullet ? kBulletIndentTwips : 0);
    blockFormats_.emplace_back(format, block);
    return blockFormats_.back().second;
}

void TextDocumentSink::InsertParagraph(const QTextBlockFormat* block)
{
    Edit();
    if (!firstBlock_)
        cursor_.insertBlock(block ? *block : QTextBlockFormat(), QTextCharFormat());
    else if (block)
        cursor_.setBlockFormat(*block);
    firstBlock_ = false;
    for (const auto& [text, format] : pending_)
        cursor_.insertText(text, format);
    pending_.clear();
}

void TextDocumentSink::Text(const QString& text, const RunFormat& format)
{
    pending_.emplace_back(text, CharFormat(format));
}

void TextDocumentSink::EndParagraph(const ParagraphFormat& format)
{
    InsertParagraph(&BlockFormat(format));
    if (!format.bullet) {
        list_ = nullptr;
    } else if (list_) {
        list_->add(cursor_.block());
    } else {
        QTextListFormat listFormat;
        listFormat.setStyle(QTextListFormat::ListDisc);
        listFormat.setIndent(1);
        list_ = cursor_.createList(listFormat);
    }
}

void TextDocumentSink::Finish()
{
    if (pending_.empty())
        return;
    InsertParagraph(nullptr);
    list_ = nullptr;
}

namespace {

// A device-independent bitmap as a BMP file, which Qt reads: the file header in front.
QImage ImageOfBitmap(const QByteArray& dib)
{
    if (dib.size() < 40)
        return QImage();
    const quint32 headerSize = qFromLittleEndian<quint32>(dib.constData());
    const quint16 bitCount = qFromLittleEndian<quint16>(dib.constData() + 14);
    quint32 colors = qFromLittleEndian<quint32>(dib.constData() + 32);
    if (colors == 0 && bitCount <= 8)
        colors = 1u << bitCount;
    QByteArray file("BM");
    char field[4];
    qToLittleEndian<quint32>(static_cast<quint32>(14 + dib.size()), field);
    file.append(field, 4);
    file.append(4, '\0');
    qToLittleEndian<quint32>(14 + headerSize + colors * 4, field);
    file.append(field, 4);
    file.append(dib);
    return QImage::fromData(file, "BMP");
}

QImage ImageOf(const Picture& picture)
{
    if (picture.kind == "pngblip" || picture.kind == "jpegblip")
        return QImage::fromData(picture.data);
    if (picture.kind == "dibitmap")
        return ImageOfBitmap(picture.data);
    return QImage();
}

// The size the picture is shown at, in pixels: its goal size in twips, or its own size,
// times its scale.
QSizeF DisplaySize(const Picture& picture, const QImage& image, int ppi)
{
    const bool metafile = picture.kind == "wmetafile" || picture.kind == "emfblip";
    auto side = [&](int goal, int own, int imageSide, int scale) {
        double pixels = 0;
        if (goal > 0)
            pixels = goal * ppi / 1440.0;
        else if (metafile && own > 0)
            pixels = own * ppi / 2540.0;  // HIMETRIC: hundredths of a millimetre
        else if (imageSide > 0)
            pixels = imageSide;
        else
            pixels = own;
        return std::max(1.0, std::round(pixels * scale / 100.0));
    };
    return QSizeF(side(picture.goalWidth, picture.width, image.width(), picture.scaleX),
                  side(picture.goalHeight, picture.height, image.height(), picture.scaleY));
}

} // namespace

void TextDocumentSink::InsertPicture(const Picture& picture, const RunFormat& format)
{
    using namespace DocumentProperty;
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("rtf-picture-%1").arg(++counter);
    const QImage image = ImageOf(picture);
    if (!image.isNull())
        cursor_.document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat imageFormat;
    imageFormat.merge(CharFormat(format));
    imageFormat.setObjectType(QTextFormat::ImageObject);
    imageFormat.setName(name);
    const QSizeF size = DisplaySize(picture, image, ppi_);
    imageFormat.setWidth(size.width());
    imageFormat.setHeight(size.height());
    imageFormat.setProperty(PictureKind, QString::fromLatin1(picture.kind));
    imageFormat.setProperty(PictureKindParameter, picture.kindParameter);
    imageFormat.setProperty(PictureData, picture.data);
    imageFormat.setProperty(PictureWidth, picture.width);
    imageFormat.setProperty(PictureHeight, picture.height);
    imageFormat.setProperty(PictureGoalWidth, picture.goalWidth);
    imageFormat.setProperty(PictureGoalHeight, picture.goalHeight);
    imageFormat.setProperty(PictureScaleX, picture.scaleX);
    imageFormat.setProperty(PictureScaleY, picture.scaleY);
    pending_.emplace_back(QString(QChar::ObjectReplacementCharacter), imageFormat);
}

} // namespace rtf
