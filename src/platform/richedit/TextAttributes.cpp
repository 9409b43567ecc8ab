#include "platform/richedit/TextAttributes.h"

#include "platform/richedit/DocumentProperties.h"
#include "platform/system/Fonts.h"
#include "platform/forms/Forms.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

using namespace DocumentProperty;

int TwipsToPixels(int twips, int ppi)
{
    return static_cast<int>(std::lround(static_cast<double>(twips) * ppi / 1440.0));
}

QTextBlockFormat FormatAtSelection(const QTextEdit* edit)
{
    return edit->document()->findBlock(edit->textCursor().selectionStart()).blockFormat();
}

// The indent of the list a block belongs to, in twips; 0 outside lists. The control's
// document indents a list level by kBulletIndentTwips.
int ListIndentTwips(const QTextBlock& block)
{
    const QTextList* list = block.textList();
    if (!list)
        return 0;
    return (list->format().indent() + block.blockFormat().indent()) * kBulletIndentTwips;
}

// Lays a block's indents out again after what they depend on changed.
void ApplyIndents(const QTextBlock& block, QTextBlockFormat& format, int ppi)
{
    ApplyIndentsToLayout(format, ppi, block.textDirection(), ListIndentTwips(block));
}

bool KeepsIndents(const QTextBlockFormat& format)
{
    return format.hasProperty(FirstIndentTwips) || format.hasProperty(LeftIndentTwips)
        || format.hasProperty(RightIndentTwips);
}

// Rewrites the block format of every paragraph the selection touches, as one step.
void ForEachSelectedBlock(QTextEdit* edit, const std::function<void(const QTextBlock&, QTextBlockFormat&)>& change)
{
    const QTextCursor selection = edit->textCursor();
    QTextDocument* doc = edit->document();
    const QTextBlock first = doc->findBlock(selection.selectionStart());
    const QTextBlock last = doc->findBlock(selection.selectionEnd());
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        change(block, format);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
        if (block == last)
            break;
    }
    cursor.endEditBlock();
}

} // namespace

// Qt lays out a paragraph from its left margin and first-line indent; derive both from
// the twips kept in the format.
int PixelsToTwips(double pixels, int ppi)
{
    return static_cast<int>(std::lround(pixels * 1440.0 / std::max(ppi, 1)));
}

void ApplyIndentsToLayout(QTextBlockFormat& format, int ppi, Qt::LayoutDirection direction, int listIndentTwips)
{
    const int first = format.intProperty(FirstIndentTwips);
    const int left = format.intProperty(LeftIndentTwips);
    const int right = format.intProperty(RightIndentTwips);
    qreal leading = TwipsToPixels(first + left, ppi);
    qreal textIndent = -TwipsToPixels(left, ppi);
    if (listIndentTwips > 0 && left > 0) {
        // The bullet hangs: every line's text at the later lines' indent, which the
        // list's own indent is part of.
        leading = std::max<qreal>(0, leading - listIndentTwips * ppi / 1440.0);
        textIndent = 0;
    }
    const qreal trailing = TwipsToPixels(right, ppi);
    const bool rightToLeft = direction == Qt::RightToLeft;
    format.setLeftMargin(rightToLeft ? trailing : leading);
    format.setRightMargin(rightToLeft ? leading : trailing);
    format.setTextIndent(textIndent);
}

// The alignment the paragraph shows: Qt's AlignLeft and AlignRight name the leading and
// trailing edges unless AlignAbsolute is set, so in a right-to-left paragraph AlignLeft
// stands at the right.
int TParaAttributes::Alignment() const
{
    const QTextBlock block = edit_->document()->findBlock(edit_->textCursor().selectionStart());
    const Qt::Alignment alignment = QStyle::visualAlignment(
        block.textDirection(), block.blockFormat().alignment() & Qt::AlignHorizontal_Mask);
    if (alignment & Qt::AlignRight)
        return taRightJustify;
    if (alignment & Qt::AlignHCenter)
        return taCenter;
    return taLeftJustify;
}

// Left and right are the edges the user sees, also in a right-to-left paragraph.
void TParaAttributes::SetAlignment(int alignment)
{
    const Qt::Alignment qt = alignment == taRightJustify ? Qt::AlignRight
                             : alignment == taCenter     ? Qt::AlignHCenter
                                                         : Qt::AlignLeft;
    ForEachSelectedBlock(edit_, [qt](const QTextBlock& block, QTextBlockFormat& format) {
        const bool absolute = qt != Qt::AlignHCenter && block.textDirection() == Qt::RightToLeft;
        format.setAlignment(absolute ? qt | Qt::AlignAbsolute : qt);
    });
}

int TParaAttributes::Numbering() const
{
    return edit_->document()->findBlock(edit_->textCursor().selectionStart()).textList() ? nsBullet : nsNone;
}

void TParaAttributes::SetNumbering(int numbering)
{
    QTextCursor selection = edit_->textCursor();
    QTextDocument* doc = edit_->document();
    const QTextBlock first = doc->findBlock(selection.selectionStart());
    const QTextBlock last = doc->findBlock(selection.selectionEnd());
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    if (numbering == nsBullet) {
        cursor.setPosition(first.position());
        cursor.setPosition(last.position(), QTextCursor::KeepAnchor);
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        list.setIndent(1);
        cursor.createList(list);
        // A hanging indent now holds the bullet.
        const int ppi = PixelsPerInchOf(edit_);
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            QTextBlockFormat format = block.blockFormat();
            if (KeepsIndents(format)) {
                ApplyIndents(block, format, ppi);
                cursor.setPosition(block.position());
                cursor.setBlockFormat(format);
            }
            if (block == last)
                break;
        }
    } else {
        for (QTextBlock block = first; block.isValid(); block = block.next()) {
            if (QTextList* list = block.textList())
                list->remove(block);
            QTextBlockFormat format = block.blockFormat();
            format.setIndent(0);
            format.setObjectIndex(-1);
            if (KeepsIndents(format))
                ApplyIndentsToLayout(format, PixelsPerInchOf(edit_), block.textDirection());
            cursor.setPosition(block.position());
            cursor.setBlockFormat(format);
            if (block == last)
                break;
        }
    }
    cursor.endEditBlock();
}

int TParaAttributes::FirstIndent() const
{
    return TwipsToPixels(FormatAtSelection(edit_).intProperty(FirstIndentTwips), PixelsPerInchOf(edit_));
}

int TParaAttributes::LeftIndent() const
{
    return TwipsToPixels(FormatAtSelection(edit_).intProperty(LeftIndentTwips), PixelsPerInchOf(edit_));
}

int TParaAttributes::RightIndent() const
{
    return TwipsToPixels(FormatAtSelection(edit_).intProperty(RightIndentTwips), PixelsPerInchOf(edit_));
}

void TParaAttributes::SetFirstIndent(int pixels)
{
    const int ppi = PixelsPerInchOf(edit_);
    ForEachSelectedBlock(edit_, [=](const QTextBlock& block, QTextBlockFormat& format) {
        format.setProperty(FirstIndentTwips, PixelsToTwips(pixels, ppi));
        ApplyIndents(block, format, ppi);
    });
}

void TParaAttributes::SetLeftIndent(int pixels)
{
    const int ppi = PixelsPerInchOf(edit_);
    ForEachSelectedBlock(edit_, [=](const QTextBlock& block, QTextBlockFormat& format) {
        format.setProperty(LeftIndentTwips, PixelsToTwips(pixels, ppi));
        ApplyIndents(block, format, ppi);
    });
}

void TParaAttributes::SetRightIndent(int pixels)
{
    const int ppi = PixelsPerInchOf(edit_);
    ForEachSelectedBlock(edit_, [=](const QTextBlock& block, QTextBlockFormat& format) {
        format.setProperty(RightIndentTwips, PixelsToTwips(pixels, ppi));
        ApplyIndents(block, format, ppi);
    });
}

namespace {

QTextCharFormat SelectionCharFormat(const QTextEdit* edit)
{
    const QTextCursor selection = edit->textCursor();
    if (!selection.hasSelection())
        return edit->currentCharFormat();
    // The format of the selection's first character.
    QTextCursor first(edit->document());
    first.setPosition(selection.selectionStart() + 1);
    return first.charFormat();
}

void MergeIntoSelection(QTextEdit* edit, const QTextCharFormat& format)
{
    edit->mergeCurrentCharFormat(format);
}

} // namespace

TFontSpec TTextAttributes::Font() const
{
    const QTextCharFormat format = SelectionCharFormat(edit_);
    const QFont font = format.font().resolve(edit_->document()->defaultFont());
    TFontSpec spec;
    spec.name = font.family();
    spec.charset = format.hasProperty(DocumentProperty::Charset) ? format.intProperty(DocumentProperty::Charset) : ControlCharset(edit_);
    if (font.pointSizeF() > 0)
        spec.size = static_cast<int>(std::lround(font.pointSizeF()));
    else
        spec.size = static_cast<int>(std::lround(font.pixelSize() * 72.0 / PixelsPerInchOf(edit_)));
    spec.style.bold = font.bold();
    spec.style.italic = font.italic();
    spec.style.underline = font.underline();
    spec.style.strikeOut = font.strikeOut();
    spec.color = format.foreground().style() == Qt::NoBrush ? QColor(Qt::black)
                                                           : format.foreground().color();
    return spec;
}

void TTextAttributes::Assign(const TFontSpec& font)
{
    QTextCharFormat format;
    format.setFontFamilies({font.name});
    format.setProperty(DocumentProperty::Charset, font.charset);
    format.setFontPointSize(font.size);
    format.setFontWeight(font.style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.style.italic);
    format.setFontUnderline(font.style.underline);
    format.setFontStrikeOut(font.style.strikeOut);
    format.setForeground(font.color);
    MergeIntoSelection(edit_, format);
}

void TTextAttributes::SetName(const QString& name)
{
    QTextCharFormat format;
    format.setFontFamilies({name});
    MergeIntoSelection(edit_, format);
}

void TTextAttributes::SetCharset(int charset)
{
    QTextCharFormat format;
    format.setProperty(DocumentProperty::Charset, charset);
    MergeIntoSelection(edit_, format);
}

void TTextAttributes::SetSize(int points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    MergeIntoSelection(edit_, format);
}

void TTextAttributes::SetStyle(const TFontStyles& style)
{
    QTextCharFormat format;
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setFontStrikeOut(style.strikeOut);
    MergeIntoSelection(edit_, format);
}

void TTextAttributes::SetColor(const QColor& color)
{
    QTextCharFormat format;
    format.setForeground(color);
    MergeIntoSelection(edit_, format);
}
