#pragma once
// What the rich-edit control tells screen readers: its text, selection and caret, and
// where each character and displayed line is. Qt's own interface for a QTextEdit reads
// the paragraph's own QTextLayout, which is empty in a paragraph the document layout
// lays out in segments (every character at 0,0 and the whole paragraph one line); this
// one answers as Qt's does, asking the document layout in such paragraphs.
#include <QAccessibleWidget>
#include <utility>

class QTextCursor;
class QTextEdit;
class TDocumentLayout;

class TRichEditAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit TRichEditAccessible(QTextEdit* edit);
    // Installs the factory that gives every TRichEdit this interface; once.
    static void Install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                             int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                            int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QTextEdit* Edit() const;
    // The document layout when it lays out position's paragraph in segments.
    TDocumentLayout* SegmentedAt(int position) const;
    // The unit of the given kind that holds offset: [first, second).
    std::pair<int, int> Boundaries(int offset, QAccessible::TextBoundaryType type) const;
};
