// The rich-edit control's side of the clipboard and of drag and drop.
#include "platform/richedit/RichEdit.h"

#include "platform/richedit/DocumentProperties.h"
#include "platform/richedit/PictureFormat.h"
#include "platform/richedit/RichTextMimeData.h"
#include "platform/richedit/rtf/Rtf.h"
#include "platform/richedit/rtf/TextDocumentSink.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QHash>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QUrl>

namespace {

// The RTF a paste offers, or nothing.
QByteArray RtfOf(const QMimeData& source)
{
    for (const char* type : kRtfMimeTypes) {
        const QString name = QString::fromLatin1(type);
        if (!source.hasFormat(name))
            continue;
        const QByteArray bytes = source.data(name);
        if (bytes.contains("{\\rtf"))
            return bytes;
    }
    return QByteArray();
}

// A picture a paste offers as image data. PNG and JPEG keep the bytes they came as,
// in the order the source prefers them; any other image becomes PNG.
bool PictureOf(const QMimeData& source, rtf::Picture& picture, QImage& image)
{
    for (const QString& type : source.formats()) {
        const char* kind = type == QLatin1String("image/png")   ? "pngblip"
                           : type == QLatin1String("image/jpeg") ? "jpegblip"
                                                                  : nullptr;
        if (!kind)
            continue;
        const QByteArray data = source.data(type);
        image = QImage::fromData(data);
        if (image.isNull())
            continue;
        picture.kind = kind;
        picture.data = data;
        return true;
    }
    if (!source.hasImage())
        return false;
    image = qvariant_cast<QImage>(source.imageData());
    if (image.isNull())
        return false;
    QBuffer buffer(&picture.data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    picture.kind = "pngblip";
    return true;
}

// Adds what pasted shows from its resources to doc.
void CopyPictureResources(const QTextDocument& pasted, QTextDocument& doc)
{
    for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QUrl name(format.toImageFormat().name());
            const QVariant resource = pasted.resource(QTextDocument::ImageResource, name);
            if (resource.isValid())
                doc.addResource(QTextDocument::ImageResource, name, resource);
        }
    }
}

// Copies into the empty document `to` what the control's layout draws of `from`: its
// paragraphs one under the other, with their indents, alignment, direction, lists and
// runs, and pictures in the line. What only Qt's paginated layout (the printout) would
// show is left out: space above and below paragraphs, page breaks, rules, tables and
// frames (their paragraphs stand one under the other, as the screen shows them) and
// pictures floating beside the text.
void CopyWhatTheLayoutDraws(const QTextDocument& from, QTextDocument& to)
{
    QTextCursor cursor(&to);
    QHash<const QTextList*, QTextList*> lists;
    bool first = true;
    bool afterFrame = false;
    for (QTextBlock block = from.begin(); block.isValid(); block = block.next()) {
        const bool inFrame = QTextCursor(block).currentFrame() != from.rootFrame();
        // A table or frame cannot end a document, so an empty paragraph follows the last
        // one; with the frame gone it would be a line of its own.
        if (afterFrame && !inFrame && block.length() == 1 && !block.next().isValid())
            break;
        afterFrame = inFrame;
        QTextBlockFormat format = block.blockFormat();
        for (const int property : {int(QTextFormat::BlockTopMargin), int(QTextFormat::BlockBottomMargin),
                                   int(QTextFormat::PageBreakPolicy),
                                   int(QTextFormat::BlockTrailingHorizontalRulerWidth), int(QTextFormat::ObjectIndex)})
            format.clearProperty(property);
        if (first) {
            cursor.setBlockFormat(format);
            cursor.setBlockCharFormat(block.charFormat());
            first = false;
        } else {
            cursor.insertBlock(format, block.charFormat());
        }
        if (const QTextList* list = block.textList()) {
            QTextList*& copy = lists[list];
            if (copy)
                copy->add(cursor.block());
            else
                copy = cursor.createList(list->format());
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat charFormat = fragment.charFormat();
            // A floating picture refers to the frame it floats in.
            charFormat.clearProperty(QTextFormat::ObjectIndex);
            cursor.insertText(fragment.text(), charFormat);
        }
    }
}

} // namespace

QMimeData* TRichEdit::createMimeDataFromSelection() const
{
    return new TRichTextMimeData(textCursor(), PixelsPerInch());
}

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source && (!RtfOf(*source).isEmpty() || source->hasImage() || source->hasFormat(QStringLiteral("image/png"))
                      || source->hasFormat(QStringLiteral("image/jpeg")) || QTextEdit::canInsertFromMimeData(source));
}

void TRichEdit::insertFromMimeData(const QMimeData* source)
{
    if (!source)
        return;
    QTextDocument pasted;
    pasted.setDefaultFont(document()->defaultFont());
    const QByteArray rtf = RtfOf(*source);
    rtf::Picture picture;
    QImage image;
    if (!rtf.isEmpty()) {
        // What the pasted RTF held that a save cannot keep is named at the next save.
        for (const QString& unkept : ReadRtf(rtf, pasted, PixelsPerInch()))
            if (!UnkeptOnSave.contains(unkept))
                UnkeptOnSave << unkept;
    } else if (PictureOf(*source, picture, image)) {
        // Shown at its own size in pixels on this screen.
        picture.width = image.width();
        picture.height = image.height();
        picture.goalWidth = PixelsToTwips(image.width(), PixelsPerInch());
        picture.goalHeight = PixelsToTwips(image.height(), PixelsPerInch());
        rtf::TextDocumentSink sink(pasted, PixelsPerInch());
        sink.InsertPicture(picture, rtf::RunFormat());
    } else if (acceptRichText() && source->hasHtml()) {
        // The screen shows, and the printout prints, only what the control's layout
        // draws; the pasted document holds only that, so both show the same.
        QTextDocument html;
        html.setDefaultFont(document()->defaultFont());
        html.setHtml(source->html());
        CopyWhatTheLayoutDraws(html, pasted);
        CopyPictureResources(html, pasted);
    } else {
        // Plain text in the caret's format; a drop puts the caret where it lands
        // without a word to the control, so the format is taken off a picture here.
        const QTextCharFormat format = textCursor().charFormat();
        if (!textCursor().hasSelection() && IsPictureFormat(format))
            setCurrentCharFormat(TextFormatOf(format));
        QTextEdit::insertFromMimeData(source);
        return;
    }
    InsertPasted(pasted);
}

void TRichEdit::InsertPasted(const QTextDocument& pasted)
{
    CopyPictureResources(pasted, *document());
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.insertFragment(QTextDocumentFragment(&pasted));
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}
