#pragma once
// Numbering of the displayed (wrapped) lines of a laid-out text document, cached so
// that a caret move near the end of a large document costs little. The cache follows
// edits (from the first changed paragraph on) and is dropped when the wrap width or
// the default font changes.
#include <QFont>
#include <QObject>
#include <vector>

class QTextBlock;
class QTextDocument;

class DisplayedLines : public QObject {
    Q_OBJECT
public:
    explicit DisplayedLines(QTextDocument* document);

    // The 0-based displayed line holding position (clamped to the text).
    int LineFromPosition(int position);
    // The position of the first character of a displayed line; -1 when there is none.
    int LineStart(int line);

private:
    void Invalidate(int fromBlock);
    void CheckLayoutUnchanged();
    // Makes firstLine_ valid for blocks up to and including blockNumber.
    void ExtendTo(int blockNumber);
    // Extends the cache until it holds the block that contains line, or to the end.
    void ExtendToLine(int line);
    static int LinesOf(const QTextBlock& block);

    QTextDocument* document_;
    std::vector<int> firstLine_;  // first displayed line of each cached block
    int valid_ = 0;               // blocks 0 .. valid_-1 are cached
    qreal textWidth_ = -2;
    QFont font_;
};
