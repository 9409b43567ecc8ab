#include "platform/richedit/RichEditAccessible.h"

#include "platform/layout/DocumentLayout.h"
#include "platform/QtInternals.h"
#include "platform/richedit/TextAround.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace {

QAccessibleInterface* Create(const QString& className, QObject* object)
{
    if (className == QLatin1String("TRichEdit") && object && object->isWidgetType())
        if (auto* edit = qobject_cast<QTextEdit*>(object))
            return new TRichEditAccessible(edit);
    return nullptr;
}

QTextCursor CursorAt(QTextDocument* document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(std::clamp(position, 0, document->characterCount() - 1));
    return cursor;
}

} // namespace

TRichEditAccessible::TRichEditAccessible(QTextEdit* edit)
    : QAccessibleWidget(edit, QAccessible::EditableText) {}

void TRichEditAccessible::Install()
{
    static const bool installed = []() {
        QAccessible::installFactory(Create);
        return true;
    }();
    Q_UNUSED(installed);
}

QTextEdit* TRichEditAccessible::Edit() const
{
    return static_cast<QTextEdit*>(widget());
}

TDocumentLayout* TRichEditAccessible::SegmentedAt(int position) const
{
    auto* layout = qobject_cast<TDocumentLayout*>(Edit()->document()->documentLayout());
    return layout && layout->InLongParagraph(position) ? layout : nullptr;
}

void* TRichEditAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TRichEditAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (Edit()->isReadOnly())
        state.readOnly = true;
    else
        state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString TRichEditAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return Edit()->toPlainText();
    return QAccessibleWidget::text(type);
}

void TRichEditAccessible::setText(QAccessible::Text type, const QString& text)
{
    if (type != QAccessible::Value || Edit()->isReadOnly())
        return;
    Edit()->setPlainText(text);
}

void TRichEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    const QTextCursor cursor = Edit()->textCursor();
    if (selectionIndex == 0 && cursor.hasSelection()) {
        *startOffset = cursor.selectionStart();
        *endOffset = cursor.selectionEnd();
    }
}

int TRichEditAccessible::selectionCount() const
{
    return Edit()->textCursor().hasSelection() ? 1 : 0;
}

void TRichEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TRichEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = Edit()->textCursor();
    cursor.clearSelection();
    Edit()->setTextCursor(cursor);
}

void TRichEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    QTextCursor cursor = CursorAt(Edit()->document(), startOffset);
    cursor.setPosition(std::clamp(endOffset, 0, characterCount()), QTextCursor::KeepAnchor);
    Edit()->setTextCursor(cursor);
}

int TRichEditAccessible::cursorPosition() const
{
    return Edit()->textCursor().position();
}

void TRichEditAccessible::setCursorPosition(int position)
{
    Edit()->setTextCursor(CursorAt(Edit()->document(), position));
}

QString TRichEditAccessible::text(int startOffset, int endOffset) const
{
    QTextCursor cursor = CursorAt(Edit()->document(), startOffset);
    cursor.setPosition(std::clamp(endOffset, 0, characterCount()), QTextCursor::KeepAnchor);
    return cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

int TRichEditAccessible::characterCount() const
{
    return Edit()->document()->characterCount() - 1;
}

std::pair<int, int> TRichEditAccessible::Boundaries(int offset, QAccessible::TextBoundaryType type) const
{
    const int count = characterCount();
    if (offset >= count)
        return {count, count};
    if (offset < 0)
        return {0, 0};
    QTextDocument* document = Edit()->document();
    QTextCursor cursor = CursorAt(document, offset);
    const bool segmented = SegmentedAt(offset) != nullptr && offset < cursor.block().position() + cursor.block().length() - 1;
    switch (type) {
    case QAccessible::CharBoundary:
        if (segmented)
            return SpanAround(*document, offset, [](QTextCursor& c) { c.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor); });
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        return {cursor.selectionStart(), cursor.selectionEnd()};
    case QAccessible::WordBoundary: {
        const auto word = [](QTextCursor& c) {
            c.movePosition(QTextCursor::StartOfWord);
            c.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        };
        if (segmented)
            return SpanAround(*document, offset, word);
        word(cursor);
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
    case QAccessible::LineBoundary:
        if (TDocumentLayout* layout = SegmentedAt(offset))
            return layout->LineBounds(offset);
        cursor.movePosition(QTextCursor::StartOfLine);
        cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
        return {cursor.selectionStart(), cursor.selectionEnd()};
    case QAccessible::SentenceBoundary: {
        const QTextBlock block = cursor.block();
        std::pair<int, int> result(block.position(), block.position() + block.length() - 1);
        const int inBlock = offset - block.position();
        QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, block.text());
        finder.setPosition(inBlock);
        int previous = inBlock;
        if (!(finder.boundaryReasons() & QTextBoundaryFinder::StartOfItem))
            previous = finder.toPreviousBoundary();
        const int next = finder.toNextBoundary();
        if (next != -1)
            result.second = result.first + next;
        if (previous != -1)
            result.first += previous;
        return result;
    }
    case QAccessible::ParagraphBoundary: {
        const QTextBlock block = cursor.block();
        return {block.position(), block.position() + block.length() - 1};
    }
    case QAccessible::NoBoundary:
        return {0, count};
    }
    return {offset, offset};
}

QString TRichEditAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                              int* startOffset, int* endOffset) const
{
    std::pair<int, int> boundaries = Boundaries(offset, boundaryType);
    if (boundaries.first > 0)
        boundaries = Boundaries(boundaries.first - 1, boundaryType);
    *startOffset = boundaries.first;
    *endOffset = boundaries.second;
    return text(boundaries.first, boundaries.second);
}

QString TRichEditAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    std::pair<int, int> boundaries = Boundaries(offset, boundaryType);
    boundaries = Boundaries(boundaries.second, boundaryType);
    *startOffset = boundaries.first;
    *endOffset = boundaries.second;
    return text(boundaries.first, boundaries.second);
}

QString TRichEditAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                          int* startOffset, int* endOffset) const
{
    const std::pair<int, int> boundaries = Boundaries(offset, boundaryType);
    *startOffset = boundaries.first;
    *endOffset = boundaries.second;
    return text(boundaries.first, boundaries.second);
}

QRect TRichEditAccessible::characterRect(int offset) const
{
    // As Qt answers it: the character's own font's height, standing on the line's
    // baseline, as wide as the character's advance.
    QTextEdit* edit = Edit();
    QTextDocument* document = edit->document();
    const QTextBlock block = document->findBlock(offset);
    auto* layout = qobject_cast<TDocumentLayout*>(document->documentLayout());
    if (!block.isValid() || !layout)
        return QRect();
    QTextCharFormat format;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(offset)) {
            format = fragment.charFormat();
            break;
        }
    }
    const QString character = text(offset, offset + 1);
    const QPoint scroll(edit->horizontalScrollBar()->value(), edit->verticalScrollBar()->value());
    if (character.isEmpty())
        return QRect().translated(-scroll);
    qreal ascent = 0;
    const QRectF caret = layout->CaretRect(offset, 1, &ascent);
    const QFontMetrics metrics(format.font());
    const int height = metrics.height();
    QRect rect(static_cast<int>(caret.x()), static_cast<int>(caret.y() + ascent + metrics.descent() - height),
               metrics.horizontalAdvance(character), height);
    rect.moveTo(edit->viewport()->mapToGlobal(rect.topLeft()));
    return rect.translated(-scroll);
}

int TRichEditAccessible::offsetAtPoint(const QPoint& point) const
{
    QTextEdit* edit = Edit();
    const QPoint inDocument = edit->viewport()->mapFromGlobal(point)
        + QPoint(edit->horizontalScrollBar()->value(), edit->verticalScrollBar()->value());
    return edit->document()->documentLayout()->hitTest(inDocument, Qt::ExactHit);
}

void TRichEditAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    QTextEdit* edit = Edit();
    auto* layout = qobject_cast<TDocumentLayout*>(edit->document()->documentLayout());
    if (!layout)
        return;
    QRectF rect = layout->CaretRect(startIndex, 1);
    rect.setBottomRight(layout->CaretRect(endIndex, 1).bottomRight());
    QtInternals::EnsureVisible(edit, rect);
}

QString TRichEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    if (offset < 0 || offset >= characterCount())
        return QString();
    // The run of text in one format that holds offset.
    const QTextBlock block = Edit()->document()->findBlock(offset);
    QTextCharFormat format = block.charFormat();
    *startOffset = block.position();
    *endOffset = block.position() + block.length() - 1;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(offset)) {
            format = fragment.charFormat();
            *startOffset = fragment.position();
            *endOffset = fragment.position() + fragment.length();
            break;
        }
    }
    const QFont font = format.font();
    QString result = QStringLiteral("font-family:\"%1\";").arg(font.family());
    if (font.pointSizeF() > 0)
        result += QStringLiteral("font-size:%1pt;").arg(font.pointSizeF());
    result += QStringLiteral("font-style:%1;").arg(font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"));
    result += QStringLiteral("font-weight:%1;").arg(font.weight());
    if (font.underline())
        result += QStringLiteral("text-underline-style:solid;text-underline-type:single;");
    if (font.strikeOut())
        result += QStringLiteral("text-line-through-type:single;");
    if (format.foreground().style() != Qt::NoBrush) {
        const QColor color = format.foreground().color();
        result += QStringLiteral("color:rgb(%1,%2,%3);").arg(color.red()).arg(color.green()).arg(color.blue());
    }
    return result;
}

void TRichEditAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void TRichEditAccessible::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void TRichEditAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    if (Edit()->isReadOnly())
        return;
    QTextCursor cursor = CursorAt(Edit()->document(), startOffset);
    cursor.setPosition(std::clamp(endOffset, 0, characterCount()), QTextCursor::KeepAnchor);
    cursor.insertText(text);
}
