#include "platform/RichEdit.h"

#include "platform/HandlerBoundary.h"
#include "platform/Menus.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

TRichEdit::TRichEdit(QWidget* parent, const QString& name)
    : QTextEdit(parent)
{
    setObjectName(name);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(this, &QTextEdit::cursorPositionChanged, this, [this]() { SelectionMoved(); });
    connect(this, &QTextEdit::selectionChanged, this, [this]() { SelectionMoved(); });
    connect(document(), &QTextDocument::modificationChanged, this, [this]() {
        lastAnchor_ = -1;
        SelectionMoved();
    });
}

void TRichEdit::SelectionMoved()
{
    const QTextCursor cursor = textCursor();
    if (cursor.anchor() == lastAnchor_ && cursor.position() == lastPosition_)
        return;
    lastAnchor_ = cursor.anchor();
    lastPosition_ = cursor.position();
    if (OnSelectionChange)
        RunHandler(window(), OnSelectionChange);
}

QString TRichEdit::Text() const
{
    return toPlainText();
}

void TRichEdit::SetText(const QString& text)
{
    setPlainText(text);
}

int TRichEdit::TextLength() const
{
    return document()->characterCount() - 1;
}

int TRichEdit::SelStart() const
{
    return textCursor().selectionStart();
}

void TRichEdit::SetSelStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, TextLength()));
    setTextCursor(cursor);
}

int TRichEdit::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void TRichEdit::SetSelLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = length < 0 ? TextLength() : std::min(TextLength(), start + length);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString TRichEdit::SelText() const
{
    return textCursor().selectedText();
}

void TRichEdit::SetSelText(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(text);
    setTextCursor(cursor);
}

void TRichEdit::ClearSelection()
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return;
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

bool TRichEdit::Modified() const
{
    return document()->isModified();
}

void TRichEdit::SetModified(bool modified)
{
    document()->setModified(modified);
}

int TRichEdit::LineCount() const
{
    return document()->isEmpty() ? 0 : document()->blockCount();
}

int TRichEdit::LinesOfBlock(const QTextBlock& block) const
{
    const QTextLayout* layout = block.layout();
    return layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
}

int TRichEdit::LineFromChar(int position) const
{
    QTextDocument* doc = document();
    const QTextBlock target = doc->findBlock(std::clamp(position, 0, TextLength()));
    // Lays the document out up to the block, so its wrapped lines are known.
    doc->documentLayout()->blockBoundingRect(target);
    int line = 0;
    for (QTextBlock block = doc->begin(); block.isValid() && block != target; block = block.next())
        line += LinesOfBlock(block);
    const QTextLayout* layout = target.layout();
    if (layout && layout->lineCount() > 0) {
        const QTextLine inBlock = layout->lineForTextPosition(position - target.position());
        if (inBlock.isValid())
            line += inBlock.lineNumber();
        else
            line += layout->lineCount() - 1;
    }
    return line;
}

int TRichEdit::LineIndex(int line) const
{
    if (line < 0)
        return -1;
    QTextDocument* doc = document();
    int first = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        doc->documentLayout()->blockBoundingRect(block);
        const int lines = LinesOfBlock(block);
        if (line < first + lines) {
            const QTextLayout* layout = block.layout();
            const int offset = layout && layout->lineCount() > 0
                                   ? layout->lineAt(line - first).textStart()
                                   : 0;
            return block.position() + offset;
        }
        first += lines;
    }
    return -1;
}

bool TRichEdit::CanUndo() const
{
    return document()->isUndoAvailable();
}

void TRichEdit::Undo()
{
    undo();
}

void TRichEdit::contextMenuEvent(QContextMenuEvent* event)
{
    if (!PopupMenu) {
        QTextEdit::contextMenuEvent(event);
        return;
    }
    PopupMenu->Popup(event->globalPos());
    event->accept();
}
