#include "platform/richedit/RichEdit.h"

#include "platform/layout/DocumentLayout.h"
#include "platform/richedit/DocumentProperties.h"
#include "platform/system/Fonts.h"
#include "platform/forms/Forms.h"
#include "platform/forms/HandlerBoundary.h"
#include "platform/richedit/LongParagraphEditing.h"
#include "platform/forms/Menus.h"
#include "platform/richedit/PictureFormat.h"
#include "platform/richedit/RichEditAccessible.h"
#include "platform/richedit/RichEditLoading.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>

EFileError::EFileError(const QString& message)
    : std::runtime_error(message.toStdString()) {}

TRichEdit::TRichEdit(QWidget* parent, const QString& name)
    : QTextEdit(parent), layout_(new TDocumentLayout(document()))
{
    // Our own layout: an edit costs what it changed, not what follows it.
    document()->setDocumentLayout(layout_);
    longParagraphs_ = new TLongParagraphEditing(this, layout_);
    TRichEditAccessible::Install();
    layout_->BeforeHeightsSettle = [this]() { KeepViewPlace(); };
    layout_->AfterHeightsSettle = [this]() { RestoreViewPlace(); };
    connect(layout_, &TDocumentLayout::LinesLaidOut, this, [this]() {
        if (OnLinesLaidOut)
            RunHandler(window(), OnLinesLaidOut);
    });
    setObjectName(name);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The formatting rectangle's margins lie outside the viewport; paint them as page.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    document()->setDocumentMargin(0);
    // A paragraph without a direction of its own (plain text) takes the direction of its
    // first strong character, as other editors show it: a Hebrew or Arabic one runs right
    // to left. A paragraph read from RTF has the direction the file gives it, and the
    // alignment buttons name the edges the user sees (TParaAttributes).
    QTextOption option = document()->defaultTextOption();
    option.setTextDirection(Qt::LayoutDirectionAuto);
    document()->setDefaultTextOption(option);
    document()->setIndentWidth(kBulletIndentTwips * PixelsPerInch() / 1440.0);
    // Setting up the document is not an edit the user can undo.
    document()->setUndoRedoEnabled(false);
    document()->setUndoRedoEnabled(true);
    document()->setModified(false);
    // Wraps at the window's width until a formatting rectangle is set.
    setViewportMargins(2, 2, 0, 0);
    connect(this, &QTextEdit::cursorPositionChanged, this, [this]() { SelectionMoved(); });
    connect(this, &QTextEdit::selectionChanged, this, [this]() { SelectionMoved(); });
    // Beside a picture the caret would type, paste and compose in the picture's own
    // format, and a save would take that text for copies of the picture.
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat& format) {
        if (IsPictureFormat(format) && !textCursor().hasSelection())
            setCurrentCharFormat(TextFormatOf(format));
    });
    // Every change of the content sets the flag, an undo back to the saved text too
    // (the document's own flag would clear itself there), but not an input method's
    // pre-edit text, nor an edit block that changed nothing. Typing moves the caret
    // before the change is complete; report it again once the flag is set, so listeners
    // see the state after the edit.
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if ((removed != 0 || added != 0) && !preeditOnly_ && !appendingLoaded_)
            changePending_ = true;
    });
    connect(document(), &QTextDocument::contentsChanged, this, [this]() {
        if (!changePending_)
            return;
        changePending_ = false;
        if (modified_)
            return;
        modified_ = true;
        lastAnchor_ = -1;
        SelectionMoved();
    });
}

TRichEdit::~TRichEdit()
{
    // Before QWidget's destructor takes the focus away, which it would hear of.
    delete longParagraphs_;
}

void TRichEdit::keyPressEvent(QKeyEvent* event)
{
    if (!longParagraphs_->KeyPress(event))
        QTextEdit::keyPressEvent(event);
}

void TRichEdit::mousePressEvent(QMouseEvent* event)
{
    if (!longParagraphs_->MousePressed(event))
        QTextEdit::mousePressEvent(event);
}

void TRichEdit::mouseMoveEvent(QMouseEvent* event)
{
    if (!longParagraphs_->MouseMoved(event))
        QTextEdit::mouseMoveEvent(event);
}

void TRichEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (!longParagraphs_->MouseReleased(event))
        QTextEdit::mouseReleaseEvent(event);
}

void TRichEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTextEdit::mouseDoubleClickEvent(event);
    longParagraphs_->DoubleClicked(event);
}

QVariant TRichEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const QVariant answer = longParagraphs_->InputMethodQuery(query);
    return answer.isValid() ? answer : QTextEdit::inputMethodQuery(query);
}

QRect TRichEdit::CaretRect() const
{
    return longParagraphs_->CaretRect();
}

void TRichEdit::inputMethodEvent(QInputMethodEvent* event)
{
    // Qt's text control takes an input method's text also where only selecting is
    // allowed; a loading document takes none.
    if (Loading()) {
        event->ignore();
        return;
    }
    if (longParagraphs_->InputMethod(event))
        return;
    preeditOnly_ = event->commitString().isEmpty() && event->replacementLength() == 0;
    QTextEdit::inputMethodEvent(event);
    preeditOnly_ = false;
}

void TRichEdit::SelectionMoved()
{
    if (holdSelectionReports_)
        return;
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
    QString text = document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    return text;
}

void TRichEdit::SetText(const QString& text)
{
    ReplaceWithPlainText(text);
    PlainTextFormat = TextFileFormat();
    UnkeptOnSave.clear();
}

void TRichEdit::ReplaceWithPlainText(const QString& text)
{
    // QTextEdit::setPlainText would also give the whole text the caret's character
    // format, a second pass over the document that costs a third of the time on a file
    // of many megabytes; the document's own setPlainText gives it the default format.
    // On its way the caret passes the end of the new text; listeners hear of it once,
    // at the start, so that nobody asks for the line number of the end meanwhile.
    EndLoad(false);
    holdSelectionReports_ = true;
    document()->setPlainText(text);
    setTextCursor(QTextCursor(document()));
    setCurrentCharFormat(QTextCharFormat());
    SetModified(false);
    holdSelectionReports_ = false;
    lastAnchor_ = -1;
    SelectionMoved();
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
    const int end = length < 0 ? TextLength() : static_cast<int>(std::min<qint64>(TextLength(), qint64(start) + length));
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString TRichEdit::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void TRichEdit::SetSelText(const QString& text)
{
    FinishLoading();
    QTextCursor cursor = textCursor();
    cursor.insertText(text, TextFormatOf(cursor.charFormat()));
    setTextCursor(cursor);
}

void TRichEdit::ClearSelection()
{
    FinishLoading();
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return;
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

void TRichEdit::BeginEditBlock()
{
    FinishLoading();
    blockCursor_ = QTextCursor(document());
    blockCursor_.beginEditBlock();
    blockCaret_ = -1;
    holdSelectionReports_ = true;
}

void TRichEdit::ReplaceRange(int start, int length, const QString& text)
{
    blockCursor_.setPosition(start);
    blockCursor_.setPosition(std::min(TextLength(), start + length), QTextCursor::KeepAnchor);
    blockCursor_.insertText(text, TextFormatOf(blockCursor_.charFormat()));
    blockCaret_ = blockCursor_.position();
}

void TRichEdit::EndEditBlock()
{
    // The document lays out the changed span once, here.
    blockCursor_.endEditBlock();
    holdSelectionReports_ = false;
    blockCursor_ = QTextCursor();
    if (blockCaret_ >= 0)
        SetSelStart(blockCaret_);
    blockCaret_ = -1;
    lastAnchor_ = -1;
    SelectionMoved();
}

bool TRichEdit::Modified() const
{
    return modified_;
}

void TRichEdit::SetModified(bool modified)
{
    const bool set = modified && !modified_;
    modified_ = modified;
    document()->setModified(modified);
    if (set) {
        lastAnchor_ = -1;
        SelectionMoved();
    }
}

int TRichEdit::FindText(const QString& text, int start, int length, TSearchTypes types) const
{
    const qint64 end = qint64(start) + length;
    if (end == -1)
        return FindTextToEnd(text, start, types);
    return FindInTextDocument(*document(), text, start, static_cast<int>(std::clamp<qint64>(end, -2, 0x7fffffff)), types);
}

int TRichEdit::FindTextToEnd(const QString& text, int start, TSearchTypes types) const
{
    return FindInTextDocument(*document(), text, start, kToTextEnd, types);
}

std::vector<int> TRichEdit::FindOccurrencesToReplace(const QString& text, const QString& replacement,
                                                     TSearchTypes types) const
{
    return ::FindOccurrencesToReplace(*document(), text, replacement, types);
}

int TRichEdit::LineCount() const
{
    const QTextDocument* doc = document();
    int count = doc->blockCount();
    if (doc->lastBlock().length() <= 1)
        --count;
    return count;
}

int TRichEdit::LineFromChar(int position) const
{
    return layout_->LineFromPosition(position);
}

int TRichEdit::LineIndex(int line) const
{
    return layout_->LineStart(line);
}

TRichEdit::TLinePlace TRichEdit::LinePlace(int position) const
{
    const TDocumentLayout::LinePlace place = layout_->EstimatedLine(position);
    return {place.line, place.start, place.exact};
}

// Paragraphs above the view that get their exact height must not move what is shown.
void TRichEdit::KeepViewPlace()
{
    const int top = verticalScrollBar()->value();
    viewAnchorBlock_ = layout_->BlockAtY(top);
    viewAnchorOffset_ = top - qRound(layout_->BlockTop(viewAnchorBlock_));
}

void TRichEdit::RestoreViewPlace()
{
    const int top = qRound(layout_->BlockTop(viewAnchorBlock_)) + viewAnchorOffset_;
    if (verticalScrollBar()->value() != top)
        verticalScrollBar()->setValue(top);
}

void TRichEdit::SetFormattingRect(int left, int top, int right, int bottom)
{
    constexpr int kMaxMargin = 10000;
    constexpr qint64 kMaxWrapWidth = 1 << 22;
    left = std::clamp(left, 0, kMaxMargin);
    top = std::clamp(top, 0, kMaxMargin);
    const qint64 width = std::clamp<qint64>(qint64(right) - left, 1, kMaxWrapWidth);
    // No text is shown below the bottom edge; a bottom edge at or above the top edge
    // would leave no room for any, and is taken as the bottom of the client area.
    const qint64 height = ClientHeight();
    const int bottomMargin = bottom > top ? static_cast<int>(std::clamp<qint64>(height - bottom, 0, std::max<qint64>(0, height - top - 1))) : 0;
    setViewportMargins(left, top, 0, bottomMargin);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(static_cast<int>(width));
    wrapWidth_ = static_cast<int>(width);
}

int TRichEdit::WrapWidth() const
{
    return wrapWidth_;
}

bool TRichEdit::CanUndo() const
{
    return document()->isUndoAvailable();
}

void TRichEdit::Undo()
{
    undo();
}

int TRichEdit::PixelsPerInch() const
{
    return PixelsPerInchOf(this);
}

int TRichEdit::DefaultCharset() const
{
    return ControlCharset(this);
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
