#pragma once
// The rich-edit control that holds the document. Positions and lengths are document
// positions: UTF-16 units, a paragraph break counting one.
#include <QTextEdit>
#include <functional>

class TPopupMenu;

class TRichEdit : public QTextEdit {
    Q_OBJECT
public:
    TRichEdit(QWidget* parent, const QString& name);

    QString Text() const;
    // The empty text empties the document.
    void SetText(const QString& text);
    // Number of characters, a paragraph break counting one.
    int TextLength() const;

    // The lower end of the selection, whichever end the caret is at.
    int SelStart() const;
    // Collapses the selection to the caret at position (clamped to the text).
    void SetSelStart(int position);
    int SelLength() const;
    // Selects from the selection start; -1 selects to the end of the text.
    void SetSelLength(int length);
    QString SelText() const;
    // Replaces the selection; afterwards the caret stands after the inserted text.
    void SetSelText(const QString& text);
    // Deletes the selected text; nothing happens without a selection.
    void ClearSelection();

    bool Modified() const;
    void SetModified(bool modified);

    // Number of paragraphs; 0 for an empty document.
    int LineCount() const;
    // The 0-based displayed (wrapped) line holding position.
    int LineFromChar(int position) const;
    // The position of the first character of displayed line; -1 past the last line.
    int LineIndex(int line) const;

    bool CanUndo() const;
    void Undo();

    TPopupMenu* PopupMenu = nullptr;
    // Raised on every move of the caret or the selection, and when the modified
    // flag changes.
    std::function<void()> OnSelectionChange;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SelectionMoved();
    int LinesOfBlock(const QTextBlock& block) const;

    int lastAnchor_ = -1;
    int lastPosition_ = -1;
};
