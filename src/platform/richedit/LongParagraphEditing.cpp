#include "platform/richedit/LongParagraphEditing.h"

#include "platform/layout/DocumentLayout.h"
#include "platform/richedit/PictureFormat.h"
#include "platform/QtInternals.h"
#include "platform/richedit/TextAround.h"

#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QInputMethod>
#include <QScrollBar>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>

namespace {

// Text taken on either side of a position to find the grapheme or word boundary next
// to it; doubled while the boundary lies at its edge.
constexpr int kStepWindow = 256;
// Text an input method is told of on either side of the caret.
constexpr int kSurrounding = 512;

enum RunKind { kTyping = 1, kDeleting, kDeletingForward };

// Typed text QTextEdit would insert: printable characters, tabs, formatting marks; not
// Ctrl combinations.
bool AcceptableInput(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.at(0);
    if (c.category() == QChar::Other_Format)
        return true;
    if (event->modifiers() == Qt::ControlModifier || event->modifiers() == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    if (c.isPrint() || c.category() == QChar::Other_PrivateUse || c == QLatin1Char('\t'))
        return true;
    return c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate();
}

QString TextBetween(const QTextDocument& document, int from, int to)
{
    QString text;
    text.reserve(std::max(0, to - from));
    for (int position = from; position < to; ++position)
        text += document.characterAt(position);
    return text;
}

} // namespace

TLongParagraphEditing::TLongParagraphEditing(QTextEdit* edit, TDocumentLayout* layout)
    : QObject(edit), edit_(edit), layout_(layout)
{
    // QTextEdit's text control: its caret blinking and its requests to scroll the caret
    // into view are taken over while the caret is in a long paragraph.
    control_ = QtInternals::TextControl(edit);
    QtInternals::RedirectVisibilityRequests(edit, this, SLOT(VisibilityRequested(QRectF)));
    edit->installEventFilter(this);
    connect(&blink_, &QTimer::timeout, this, [this]() { ShowCaret(!caretOn_); });
    connect(edit, &QTextEdit::cursorPositionChanged, this, [this]() { CaretMoved(); });
    connect(edit, &QTextEdit::selectionChanged, this, [this]() { CaretMoved(); });
}

bool TLongParagraphEditing::CaretInLongParagraph() const
{
    return layout_->InLongParagraph(edit_->textCursor().position());
}

QRect TLongParagraphEditing::CaretRect() const
{
    const QRectF rect = layout_->CaretRect(edit_->textCursor().position(), QtInternals::CursorWidth(layout_));
    return rect.toRect().translated(-edit_->horizontalScrollBar()->value(), -edit_->verticalScrollBar()->value());
}

void TLongParagraphEditing::CaretMoved()
{
    const QTextCursor cursor = edit_->textCursor();
    const bool active = CaretInLongParagraph() || layout_->InLongParagraph(cursor.anchor());
    // The control repaints only where its own layout puts the caret and the selection's
    // ends, which in a long paragraph is nowhere near them.
    if (active || wasActive_)
        edit_->viewport()->update();
    wasActive_ = active;
    if (cursor.position() != runEnd_)
        runEnd_ = -1;
    ShowCaret(true);
}

void TLongParagraphEditing::ShowCaret(bool on)
{
    const bool inLong = CaretInLongParagraph();
    const bool shown = inLong && edit_->hasFocus() && !edit_->isReadOnly();
    caretOn_ = on;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (shown && flashTime >= 2)
        blink_.start(flashTime / 2);
    else
        blink_.stop();
    const bool caretShown = composition_.isEmpty() || compositionCaretShown_;
    layout_->SetLongParagraphCaret(shown && caretOn_ && caretShown ? edit_->textCursor().position() : -1);
    if (inLong)
        edit_->viewport()->update(CaretRect().adjusted(-2, 0, 2, 0));
}

bool TLongParagraphEditing::eventFilter(QObject* watched, QEvent* event)
{
    // The control's own timers are left running: its caret blinking costs a repaint of
    // a small rectangle at the paragraph's top, and its triple-click timer must expire,
    // or a later click where a double-click was would select the whole paragraph.
    if (watched == edit_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        ShowCaret(true);
    return false;
}

void TLongParagraphEditing::VisibilityRequested(const QRectF& rect)
{
    // With no lines in the paragraph's own layout, the control asks for a stand-in caret
    // at the paragraph's top.
    if (CaretInLongParagraph() && QtInternals::IsCaretFallback(rect))
        EnsureCaretVisible();
    else
        QtInternals::EnsureVisible(edit_, rect);
}

void TLongParagraphEditing::EnsureCaretVisible()
{
    const QRectF caret = layout_->CaretRect(edit_->textCursor().position(), 1).adjusted(-5, 0, 5, 0);
    QtInternals::EnsureVisible(edit_, caret);
}

QTextCursor TLongParagraphEditing::CursorAt(int anchor, int position) const
{
    return QtInternals::CursorWithoutColumn(edit_->document(), anchor, position);
}

int TLongParagraphEditing::StepFrom(int position, bool forward, bool words) const
{
    const QTextDocument& document = *edit_->document();
    const QTextBlock block = document.findBlock(position);
    const int blockStart = block.position();
    const int blockEnd = blockStart + block.length() - 1;
    // Across a paragraph break, one step is one position.
    if (forward && position >= blockEnd)
        return std::min(position + 1, document.characterCount() - 1);
    if (!forward && position <= blockStart)
        return std::max(position - 1, 0);
    const QTextLayout::CursorMode mode = words ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    for (int window = kStepWindow;; window *= 2) {
        const int from = std::max(blockStart, position - window);
        const int to = std::min(blockEnd, position + window);
        const QTextLayout layout(TextBetween(document, from, to));
        const int step = forward ? layout.nextCursorPosition(position - from, mode)
                                 : layout.previousCursorPosition(position - from, mode);
        const bool atEdge = forward ? from + step >= to && to < blockEnd : from + step <= from && from > blockStart;
        if (!atEdge || window >= blockEnd - blockStart)
            return from + step;
    }
}

void TLongParagraphEditing::DoubleClicked(const QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !CaretInLongParagraph() || edit_->textCursor().hasSelection())
        return;
    const std::pair<int, int> word = SpanAround(*edit_->document(), edit_->textCursor().position(),
                                                [](QTextCursor& cursor) { cursor.select(QTextCursor::WordUnderCursor); });
    edit_->setTextCursor(CursorAt(word.first, word.second));
    wordStart_ = word.first;
    wordEnd_ = word.second;
}

int TLongParagraphEditing::LineStep(int position, int lines)
{
    // Laying out the line stepped to may move the caret's own line, when the heights
    // above it were estimated: the step is then taken again from where it stands.
    int target = -1;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QRectF caret = layout_->CaretRect(position, 1);
        if (column_ < 0)
            column_ = caret.left();
        // Halfway down the next line or up the one before.
        const qreal y = lines > 0 ? caret.bottom() + caret.height() / 2 : caret.top() - caret.height() / 2;
        if (y < 0 || y >= layout_->documentSize().height())
            return -1;
        target = layout_->hitTest(QPointF(column_, y), Qt::FuzzyHit);
        if (layout_->CaretRect(position, 1) == caret)
            break;
    }
    return target;
}

void TLongParagraphEditing::MoveCaret(Move move, QTextCursor::MoveMode mode)
{
    const QTextCursor cursor = edit_->textCursor();
    const int position = cursor.position();
    // Without Shift, Left and Right first collapse a selection to its nearer end.
    const bool collapse = mode == QTextCursor::MoveAnchor && cursor.hasSelection();
    int target = position;
    switch (move) {
    case Move::NextChar:
        target = collapse ? cursor.selectionEnd() : StepFrom(position, true, false);
        break;
    case Move::PreviousChar:
        target = collapse ? cursor.selectionStart() : StepFrom(position, false, false);
        break;
    case Move::NextWord:
        target = StepFrom(position, true, true);
        break;
    case Move::PreviousWord:
        target = StepFrom(position, false, true);
        break;
    case Move::LineUp:
    case Move::LineDown:
        target = LineStep(position, move == Move::LineDown ? 1 : -1);
        if (target < 0)
            return;
        break;
    case Move::PageUp:
    case Move::PageDown: {
        // Line by line until a page's height is passed, then a line back, as QTextEdit
        // does, and the view scrolls by a page.
        const int direction = move == Move::PageDown ? 1 : -1;
        qreal lastTop = layout_->CaretRect(target, 1).top();
        qreal distance = 0;
        bool moved = true;
        do {
            const qreal top = layout_->CaretRect(target, 1).top();
            distance += std::abs(top - lastTop);
            lastTop = top;
            const int next = LineStep(target, direction);
            moved = next >= 0;
            if (moved)
                target = next;
        } while (moved && distance < edit_->viewport()->height());
        if (moved) {
            const int back = LineStep(target, -direction);
            if (back >= 0)
                target = back;
            edit_->verticalScrollBar()->triggerAction(direction > 0 ? QAbstractSlider::SliderPageStepAdd
                                                                    : QAbstractSlider::SliderPageStepSub);
        }
        break;
    }
    case Move::LineStart:
        target = layout_->LineBounds(position).first;
        break;
    case Move::LineEnd:
        target = layout_->LineBounds(position).second;
        break;
    case Move::DocumentStart:
        target = 0;
        break;
    case Move::DocumentEnd:
        target = edit_->document()->characterCount() - 1;
        break;
    }
    if (move != Move::LineUp && move != Move::LineDown && move != Move::PageUp && move != Move::PageDown)
        column_ = -1;
    const int anchor = mode == QTextCursor::KeepAnchor ? cursor.anchor() : target;
    edit_->setTextCursor(CursorAt(anchor, target));
}

void TLongParagraphEditing::Replace(int from, int to, const QString& text, int run)
{
    QTextDocument* document = edit_->document();
    // A copy of the caret carries the format the user chose for what is typed next.
    QTextCursor cursor = edit_->textCursor();
    const bool join = run != 0 && run == runKind_ && runEnd_ == cursor.position() && !cursor.hasSelection()
        && document->availableUndoSteps() == runUndoSteps_;
    if (join)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    if (from != cursor.selectionStart() || to != cursor.selectionEnd()) {
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
    }
    cursor.insertText(text, TextFormatOf(cursor.charFormat()));
    cursor.endEditBlock();
    column_ = -1;
    runKind_ = run;
    runEnd_ = run != 0 ? edit_->textCursor().position() : -1;
    runUndoSteps_ = document->availableUndoSteps();
    EnsureCaretVisible();
}

void TLongParagraphEditing::InsertParagraph()
{
    QTextCursor cursor = edit_->textCursor();
    cursor.beginEditBlock();
    cursor.insertBlock();
    cursor.endEditBlock();
    column_ = -1;
    runEnd_ = -1;
    EnsureCaretVisible();
}

bool TLongParagraphEditing::Backspace()
{
    const QTextCursor cursor = edit_->textCursor();
    if (cursor.hasSelection()) {
        Replace(cursor.selectionStart(), cursor.selectionEnd(), QString(), 0);
        return true;
    }
    const int position = cursor.position();
    // At a paragraph's start QTextEdit joins paragraphs, or takes a list item out of its
    // list or an indent off.
    if (position == cursor.block().position())
        return false;
    const QTextDocument& document = *edit_->document();
    int from = position - 1;
    if (from > 0 && document.characterAt(from).isLowSurrogate() && document.characterAt(from - 1).isHighSurrogate())
        --from;
    Replace(from, position, QString(), kDeleting);
    return true;
}

void TLongParagraphEditing::DeleteForward()
{
    const QTextCursor cursor = edit_->textCursor();
    if (cursor.hasSelection()) {
        Replace(cursor.selectionStart(), cursor.selectionEnd(), QString(), 0);
        return;
    }
    const int position = cursor.position();
    const int next = StepFrom(position, true, false);
    if (next > position)
        Replace(position, next, QString(), kDeletingForward);
}

bool TLongParagraphEditing::KeyPress(QKeyEvent* event)
{
    // Qt's Up and Down skip a long paragraph, whose own layout has no lines, so in a
    // document with one they are done here wherever the caret is.
    const bool inLong = CaretInLongParagraph();
    if (!inLong && !layout_->HasLongParagraphs())
        return false;
    struct KeyMove {
        QKeySequence::StandardKey move;
        QKeySequence::StandardKey select;
        Move step;
    };
    static const KeyMove moves[] = {
        {QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, Move::NextChar},
        {QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar, Move::PreviousChar},
        {QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, Move::NextWord},
        {QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord, Move::PreviousWord},
        {QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, Move::LineDown},
        {QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine, Move::LineUp},
        {QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, Move::PageDown},
        {QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage, Move::PageUp},
        {QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine, Move::LineStart},
        {QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine, Move::LineEnd},
        {QKeySequence::MoveToStartOfDocument, QKeySequence::SelectStartOfDocument, Move::DocumentStart},
        {QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument, Move::DocumentEnd},
    };
    for (const KeyMove& move : moves) {
        const bool vertical = move.step == Move::LineUp || move.step == Move::LineDown || move.step == Move::PageUp
                           || move.step == Move::PageDown;
        if ((inLong || vertical) && (event->matches(move.move) || event->matches(move.select))) {
            MoveCaret(move.step, event->matches(move.select) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
            event->accept();
            return true;
        }
    }
    if (!inLong || edit_->isReadOnly())
        return false;
    const QTextCursor cursor = edit_->textCursor();
    if (event->matches(QKeySequence::Delete)) {
        DeleteForward();
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        if (!Backspace())
            return false;
    } else if (event->matches(QKeySequence::InsertParagraphSeparator)) {
        InsertParagraph();
    } else if (event->matches(QKeySequence::InsertLineSeparator)) {
        Replace(cursor.selectionStart(), cursor.selectionEnd(), QString(QChar::LineSeparator), 0);
    } else if (AcceptableInput(event)) {
        Replace(cursor.selectionStart(), cursor.selectionEnd(), event->text(), kTyping);
    } else {
        return false;
    }
    event->accept();
    return true;
}

bool TLongParagraphEditing::InputMethod(QInputMethodEvent* event)
{
    if (!CaretInLongParagraph() || edit_->isReadOnly()) {
        EndComposition();
        return false;
    }
    // The composition is laid out in the text, pushing what follows along; it leaves
    // the text before the commit is made.
    if (!composition_.isEmpty())
        layout_->SetLongParagraphPreedit(-1, QString(), 0, {});
    const QTextCursor cursor = edit_->textCursor();
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        int from = cursor.selectionStart();
        int to = cursor.selectionEnd();
        if (event->replacementStart() != 0 || event->replacementLength() > 0) {
            const QTextBlock block = cursor.block();
            from = std::clamp(cursor.position() + event->replacementStart(), block.position(),
                              block.position() + block.length() - 1);
            to = std::clamp(from + event->replacementLength(), from, block.position() + block.length() - 1);
        }
        Replace(from, to, event->commitString(), 0);
    }
    composition_ = event->preeditString();
    compositionCaret_ = static_cast<int>(composition_.size());
    compositionCaretShown_ = true;
    // As QTextEdit does: the input method's formats over the caret's own, which shows
    // where they leave gaps.
    const QTextCharFormat base = edit_->textCursor().charFormat();
    QList<QTextLayout::FormatRange> formats;
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor) {
            compositionCaret_ = std::clamp(attribute.start, 0, static_cast<int>(composition_.size()));
            compositionCaretShown_ = attribute.length != 0;
        } else if (attribute.type == QInputMethodEvent::TextFormat) {
            QTextCharFormat format = base;
            format.merge(qvariant_cast<QTextFormat>(attribute.value).toCharFormat());
            if (format.isValid())
                formats.append({attribute.start, attribute.length, format});
        }
    }
    std::stable_sort(formats.begin(), formats.end(),
                     [](const QTextLayout::FormatRange& a, const QTextLayout::FormatRange& b) { return a.start < b.start; });
    QList<QTextLayout::FormatRange> filled;
    int at = 0;
    for (const QTextLayout::FormatRange& range : formats) {
        if (range.start > at)
            filled.append({at, range.start - at, base});
        filled.append(range);
        at = range.start + range.length;
    }
    if (at < composition_.size())
        filled.append({at, static_cast<int>(composition_.size()) - at, base});
    if (!composition_.isEmpty())
        layout_->SetLongParagraphPreedit(edit_->textCursor().position(), composition_, compositionCaret_, filled);
    ShowCaret(true);
    EnsureCaretVisible();
    event->accept();
    return true;
}

void TLongParagraphEditing::EndComposition()
{
    if (composition_.isEmpty())
        return;
    composition_.clear();
    layout_->SetLongParagraphPreedit(-1, QString(), 0, {});
    ShowCaret(true);
}

std::function<void(int)> TLongParagraphEditing::compositionClicked;

int TLongParagraphEditing::CompositionOffsetAt(const QPointF& viewportPoint) const
{
    const QPointF scroll(edit_->horizontalScrollBar()->value(), edit_->verticalScrollBar()->value());
    return layout_->CompositionOffsetAt(viewportPoint + scroll);
}

int TLongParagraphEditing::PositionAt(const QPointF& viewportPoint) const
{
    const QPointF scroll(edit_->horizontalScrollBar()->value(), edit_->verticalScrollBar()->value());
    return layout_->hitTest(viewportPoint + scroll, Qt::FuzzyHit);
}

bool TLongParagraphEditing::MousePressed(const QMouseEvent* event)
{
    wordStart_ = wordEnd_ = -1;
    compositionClick_ = -1;
    if (composition_.isEmpty() || event->button() != Qt::LeftButton)
        return false;
    // A press on the composition (or at either of its ends) is the input method's,
    // told on release which place in it was clicked; QTextEdit keeps the caret and the
    // composition meanwhile.
    const int inComposition = CompositionOffsetAt(event->position());
    if (inComposition >= 0) {
        compositionClick_ = inComposition;
        return true;
    }
    // A click elsewhere commits the composition, as in QTextEdit: the input method is
    // asked to, and when it does not, the composition is dropped.
    QGuiApplication::inputMethod()->commit();
    EndComposition();
    return false;
}

bool TLongParagraphEditing::MouseReleased(const QMouseEvent* event)
{
    wordStart_ = wordEnd_ = -1;
    if (compositionClick_ < 0 || event->button() != Qt::LeftButton)
        return false;
    // As QTextEdit tells it: the place released on, when that is in the composition.
    const int released = CompositionOffsetAt(event->position());
    const int at = released >= 0 ? released : compositionClick_;
    compositionClick_ = -1;
    if (compositionClicked)
        compositionClicked(at);
    else
        QGuiApplication::inputMethod()->invokeAction(QInputMethod::Click, at);
    return true;
}

bool TLongParagraphEditing::MouseMoved(const QMouseEvent* event)
{
    if (compositionClick_ >= 0)
        return true;
    if (wordStart_ < 0 || !(event->buttons() & Qt::LeftButton))
        return false;
    // As QTextEdit extends a double-clicked word: back to it, it alone; past it, to
    // the start or the end of the word under the mouse, whichever is nearer, holding
    // the whole first word; between words, as it was.
    const int position = PositionAt(event->position());
    if (position >= wordStart_ && position <= wordEnd_) {
        edit_->setTextCursor(CursorAt(wordStart_, wordEnd_));
        return true;
    }
    if (!layout_->InLongParagraph(position))
        return false;
    const std::pair<int, int> word = SpanAround(*edit_->document(), position, [](QTextCursor& cursor) {
        cursor.movePosition(QTextCursor::StartOfWord);
        cursor.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
    });
    const QPointF scroll(edit_->horizontalScrollBar()->value(), edit_->verticalScrollBar()->value());
    const qreal x = event->position().x() + scroll.x();
    const qreal startX = layout_->CaretRect(word.first, 1).left();
    const qreal endX = layout_->CaretRect(word.second, 1).left();
    if (x < std::min(startX, endX) || x > std::max(startX, endX))
        return true;
    const int anchor = position < wordStart_ ? wordEnd_ : wordStart_;
    edit_->setTextCursor(CursorAt(anchor, x - startX < endX - x ? word.first : word.second));
    return true;
}

QVariant TLongParagraphEditing::InputMethodQuery(Qt::InputMethodQuery query) const
{
    if (!CaretInLongParagraph())
        return QVariant();
    const QTextCursor cursor = edit_->textCursor();
    const QTextBlock block = cursor.block();
    const int position = cursor.position();
    const int from = std::max(block.position(), position - kSurrounding);
    const int to = std::min(block.position() + block.length() - 1, position + kSurrounding);
    const QTextDocument& document = *edit_->document();
    switch (query) {
    case Qt::ImCursorRectangle:
        return QRectF(CaretRect());
    case Qt::ImAnchorRectangle: {
        const QPointF scroll(edit_->horizontalScrollBar()->value(), edit_->verticalScrollBar()->value());
        return layout_->CaretRect(cursor.anchor(), 1).translated(-scroll);
    }
    case Qt::ImSurroundingText:
        return TextBetween(document, from, to);
    case Qt::ImCursorPosition:
        return position - from;
    case Qt::ImAnchorPosition:
        return std::clamp(cursor.anchor(), from, to) - from;
    case Qt::ImTextBeforeCursor:
        return TextBetween(document, from, position);
    case Qt::ImTextAfterCursor:
        return TextBetween(document, position, to);
    default:
        return QVariant();
    }
}
