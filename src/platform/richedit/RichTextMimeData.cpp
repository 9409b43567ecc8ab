#include "platform/richedit/RichTextMimeData.h"

#include "platform/richedit/DocumentProperties.h"
#include "platform/layout/ImageResource.h"
#include "platform/richedit/rtf/Rtf.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

const char* const kRtfMimeTypes[3] = {"text/rtf", "application/rtf", "text/richtext"};

namespace {

const QString kPlainText = QStringLiteral("text/plain");
const QString kHtml = QStringLiteral("text/html");

} // namespace

TRichTextMimeData::TRichTextMimeData(const QTextCursor& selection, int ppi)
    : selection_(selection.selection()), defaultFont_(selection.document()->defaultFont()), ppi_(ppi)
{
    const QTextDocument& source = *selection.document();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    for (QTextBlock block = source.findBlock(start); block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() || format.hasProperty(DocumentProperty::PictureData))
                continue;
            const QString name = format.toImageFormat().name();
            if (!images_.contains(name))
                images_.insert(name, ImageResourceOf(source, name));
        }
    }
}

QStringList TRichTextMimeData::formats() const
{
    return {QString::fromLatin1(kRtfMimeTypes[0]), kHtml, kPlainText};
}

bool TRichTextMimeData::hasFormat(const QString& mimeType) const
{
    return formats().contains(mimeType);
}

QVariant TRichTextMimeData::retrieveData(const QString& mimeType, QMetaType type) const
{
    if (mimeType == kPlainText)
        return selection_.toPlainText();
    if (mimeType == kHtml)
        return selection_.toHtml();
    if (mimeType == QLatin1String(kRtfMimeTypes[0]))
        return Rtf();
    return QMimeData::retrieveData(mimeType, type);
}

QByteArray TRichTextMimeData::Rtf() const
{
    if (rtf_.isEmpty()) {
        QTextDocument doc;
        doc.setDefaultFont(defaultFont_);
        QTextCursor(&doc).insertFragment(selection_);
        for (auto it = images_.cbegin(); it != images_.cend(); ++it)
            doc.addResource(QTextDocument::ImageResource, QUrl(it.key()), it.value());
        rtf_ = WriteRtf(doc, ppi_);
    }
    return rtf_;
}
