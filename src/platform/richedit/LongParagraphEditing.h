#pragma once
// Typing, deleting, moving the caret, selecting a word by double-click and input-method
// composition inside a paragraph the document layout lays out in segments (a file of
// megabytes without a line break). QTextEdit's text control answers all of these from
// the paragraph's own QTextLayout, which it would first have to shape whole: half a
// second for ten megabytes, after every key. Here they are answered from the segments
// (the composition is laid out in them, see TDocumentLayout::SetLongParagraphPreedit),
// and the control's caret, its "make the caret visible" and its input-method geometry
// are replaced while the caret stands in such a paragraph. Everywhere else the control
// does it all.
#include <QObject>
#include <QString>
#include <QTextCursor>
#include <QTimer>
#include <QVariant>
#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QTextEdit;
class TDocumentLayout;

class TLongParagraphEditing : public QObject {
    Q_OBJECT
public:
    TLongParagraphEditing(QTextEdit* edit, TDocumentLayout* layout);

    // Each handles the event when the caret is in a long paragraph and returns true;
    // false leaves it to QTextEdit.
    bool KeyPress(QKeyEvent* event);
    bool InputMethod(QInputMethodEvent* event);
    // The answer to an input-method query in a long paragraph; an invalid QVariant
    // elsewhere or for queries QTextEdit answers cheaply.
    QVariant InputMethodQuery(Qt::InputMethodQuery query) const;
    // Before QTextEdit's own handling of a mouse press: a left click outside a
    // composition commits it; one inside it is kept for the input method, as QTextEdit
    // keeps it (true: QTextEdit must not handle the press).
    bool MousePressed(const QMouseEvent* event);
    // Before QTextEdit's own handling: a drag after a double-click in a long paragraph
    // extends the selection by words; the release of a click inside a composition is
    // the input method's. True when QTextEdit must not handle the event.
    bool MouseMoved(const QMouseEvent* event);
    bool MouseReleased(const QMouseEvent* event);
    // The caret's rectangle in viewport coordinates, in any paragraph.
    QRect CaretRect() const;
    // After QTextEdit's own double-click handling, which finds no word in a paragraph
    // whose own layout has no lines: selects the word under the caret as it would.
    void DoubleClicked(const QMouseEvent* event);
    // Where a click in a composition goes, with the place clicked in it; empty: to the
    // input method (QInputMethod::invokeAction(Click, offset)). Tests watch it here.
    static std::function<void(int)> compositionClicked;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void VisibilityRequested(const QRectF& rect);

private:
    enum class Move { NextChar, PreviousChar, NextWord, PreviousWord, LineUp, LineDown, PageUp, PageDown,
                      LineStart, LineEnd, DocumentStart, DocumentEnd };

    bool CaretInLongParagraph() const;
    void CaretMoved();
    void ShowCaret(bool on);
    void EnsureCaretVisible();
    void MoveCaret(Move move, QTextCursor::MoveMode mode);
    // The position a grapheme or a word after (or before) position, as QTextLayout's
    // cursor positions give it, taken from the text around it only.
    int StepFrom(int position, bool forward, bool words) const;
    // The position a displayed line below (lines > 0) or above at the caret's column;
    // -1 when there is no line there.
    int LineStep(int position, int lines);
    // A cursor selecting [anchor, position]; placed inside an edit block so that it does
    // not read the paragraph's own layout for its column.
    QTextCursor CursorAt(int anchor, int position) const;
    // Replaces [from, to) with text as one undo step, joined to the previous one while
    // the user goes on typing (or deleting) at the same place: run names which of these
    // the edit is, 0 for an edit that is never joined.
    void Replace(int from, int to, const QString& text, int run);
    void InsertParagraph();
    // False at a paragraph's start, where QTextEdit's own handling is kept.
    bool Backspace();
    void DeleteForward();

    QTextEdit* edit_;
    TDocumentLayout* layout_;
    QObject* control_ = nullptr;
    QTimer blink_;
    bool caretOn_ = true;
    bool wasActive_ = false;
    qreal column_ = -1;  // the x Up and Down keep, -1 when the next vertical move takes it anew
    int runKind_ = 0;
    int runEnd_ = -1;    // where the last typing or deleting left the caret
    int runUndoSteps_ = -1;
    // Ends a composition shown in a long paragraph, dropping it.
    void EndComposition();

    // The position a document point in the viewport hits.
    int PositionAt(const QPointF& viewportPoint) const;
    // Where in the composition a point in the viewport lies (0 to its length), -1 off it.
    int CompositionOffsetAt(const QPointF& viewportPoint) const;

    int wordStart_ = -1;  // the word a double-click selected, while its drag goes on
    int wordEnd_ = -1;
    int compositionClick_ = -1;  // where in the composition a press landed, until released
    QString composition_;
    int compositionCaret_ = 0;
    bool compositionCaretShown_ = true;
};
