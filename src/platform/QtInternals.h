#pragma once
// Everything this program relies on in Qt that Qt's API does not promise, in one place:
// names of private classes and slots, objects Qt's dialogs build for themselves, and
// behaviour seen in Qt's sources. Checked against Qt 6.4.2 (kCheckedQtVersion);
// tst_rich_edit's qtInternalsHoldAsChecked fails, naming that version, when a newer Qt
// no longer does what is assumed here. A lookup that fails at run time says so once on
// stderr instead of leaving a feature silently dead.
#include <QRectF>
#include <QTextCursor>

class QAbstractTextDocumentLayout;
class QFileDialog;
class QGridLayout;
class QLineEdit;
class QObject;
class QTextDocument;
class QTextEdit;
class QTextLayout;

namespace QtInternals {

inline constexpr const char* kCheckedQtVersion = "6.4.2";

// QTextEdit's private text control (a QWidgetTextControl among its children), which
// handles keys, the caret and the input method; null when there is none.
QObject* TextControl(const QTextEdit* edit);

// Sends the text control's requests to make a rectangle visible (its caret, after every
// move) to receiver's slot, a SLOT(...(QRectF)), instead of QTextEdit's private
// _q_ensureVisible. False when the control or its signal is not there.
bool RedirectVisibilityRequests(QTextEdit* edit, QObject* receiver, const char* slot);

// Scrolls the edit, as it scrolls its caret into view, so that rect (document
// coordinates) is shown.
void EnsureVisible(QTextEdit* edit, const QRectF& rect);

// Whether rect is what the text control asks to make visible for a caret whose
// paragraph has no lines in its own QTextLayout: a rectangle 10 pixels high at the
// paragraph's top, whatever the font.
bool IsCaretFallback(const QRectF& rect);

// The caret's width the text control tells the document layout (a dynamic property
// "cursorWidth"); 1 when it has not.
int CursorWidth(const QAbstractTextDocumentLayout* layout);

// A cursor selecting [anchor, position] placed without reading the paragraph's
// QTextLayout for the column Up and Down keep: QTextCursor skips that inside an edit
// block. A paragraph laid out by other means would otherwise be laid out whole.
QTextCursor CursorWithoutColumn(QTextDocument* document, int anchor, int position);

// Readies a block's own QTextLayout, which holds no lines, to be asked for lines: after
// an edit, QTextLayout::lineForTextPosition first analyses the block's whole text
// (scripts, bidi, items; half a second for ten megabytes) only to find none. Here the
// layout takes the text without analysing it, which is what that call would do first;
// it then answers "no line" at once. Nothing is done when the layout holds lines.
void PrepareEmptyLayout(QTextLayout* layout);

// The line edit of Qt's own (non-native) file dialog that holds the typed name.
QLineEdit* FileNameEdit(const QFileDialog& dialog);
// The grid Qt's own file dialog lays itself out in, for rows added below its own.
QGridLayout* FileDialogGrid(const QFileDialog& dialog);

} // namespace QtInternals
