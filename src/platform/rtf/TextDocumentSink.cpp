#include "platform/rtf/TextDocumentSink.h"

#include "platform/DocumentProperties.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

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
    cursor_.beginEditBlock();
}

TextDocumentSink::~TextDocumentSink()
{
    cursor_.endEditBlock();
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

void TextDocumentSink::StartBlockIfNeeded()
{
    if (!needNewBlock_)
        return;
    cursor_.insertBlock(QTextBlockFormat(), QTextCharFormat());
    needNewBlock_ = false;
}

void TextDocumentSink::Text(const QString& text, const RunFormat& format)
{
    StartBlockIfNeeded();
    cursor_.insertText(text, CharFormat(format));
}

void TextDocumentSink::EndParagraph(const ParagraphFormat& format)
{
    StartBlockIfNeeded();
    QTextBlockFormat block;
    block.setAlignment(format.alignment);
    block.setProperty(DocumentProperty::FirstIndentTwips, format.firstIndentTwips);
    block.setProperty(DocumentProperty::LeftIndentTwips, format.leftIndentTwips);
    block.setProperty(DocumentProperty::RightIndentTwips, format.rightIndentTwips);
    ApplyIndentsToLayout(block, ppi_);
    cursor_.setBlockFormat(block);
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
    needNewBlock_ = true;
}

} // namespace rtf
