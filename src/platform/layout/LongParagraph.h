#pragma once
// A paragraph of many thousand characters (a file without line breaks) laid out in
// segments: each segment is a QTextLayout of its own over a stretch of the paragraph that
// starts and ends where one of its lines does, so its lines are the ones the whole
// paragraph would have. A QTextLayout shapes and breaks its whole text again after every
// edit; here an edit lays out again the segment it touched, and those after it only until
// their lines fall where they were. Segments past the last one laid out are estimated and
// laid out when they are needed or when there is time. Only a few segments keep their
// layouts; the others keep their measures and are laid out again when drawn.
#include "platform/layout/ParagraphLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <vector>

class QPainter;
class QTextBlock;

class TLongParagraph {
public:
    // Paragraphs at least this many characters long are laid out in segments, unless
    // they hold a picture or another inline object.
    static int threshold;
    static bool IsLong(const QTextBlock& block);

    TLongParagraph(const QTextBlock& block, const LayoutEnvironment& environment);

    // The block's text or formats changed at `from` (an offset in the block): `removed`
    // characters were replaced by `added` ones (as many as before for a format change).
    void Edit(const QTextBlock& block, int from, int removed, int added);
    // An input method's composition shown at offset, pushing the text after it along, as
    // QTextLayout's pre-edit area does: formats are relative to the composition's start,
    // and the caret at offset stands at caret inside it. An empty text ends it.
    void SetPreedit(const QTextBlock& block, int offset, const QString& text, int caret,
                    const QList<QTextLayout::FormatRange>& formats);
    // Ends the composition, laying the paragraph out again when it is next asked for
    // (the block may not be at hand, or may have changed meanwhile).
    void DropPreedit() { preeditDropped_ = true; }
    // Where the lines begin to differ from before the last edit, in 1/64 pixel below the
    // paragraph's top.
    qint64 ChangedFrom() const { return changedFrom_; }
    // Lays out further segments for about budgetNs nanoseconds (all of them when negative);
    // true once every line of the paragraph is laid out.
    bool Extend(const QTextBlock& block, qint64 budgetNs);
    bool Exact() const;

    qint64 Height() const;  // 1/64 pixel; estimated past the last segment laid out
    int Lines() const;      // likewise
    qreal Width() const { return widest_; }
    // How many segments keep their layouts (the rest keep only their measures).
    int KeptLayouts() const;
    int Length() const { return TextLength() - static_cast<int>(preedit_.size()); }

    // Offsets given and returned are offsets in the block; the composition is in none.
    // A displayed line: offsets [start, end) in the block and its number in the paragraph.
    struct Line {
        int start = 0;
        int end = 0;
        int number = 0;
        bool last = false;  // the paragraph's last line
    };
    // Each lays out what it needs. The line holding offset (the end of the text in the
    // last line); the line `number`, or the last when there are fewer, with every line
    // before it laid out, so that its number is exact.
    Line LineOf(const QTextBlock& block, int offset);
    Line LineAt(const QTextBlock& block, int number);
    // The text LineOf(offset) would lay out first; the line holding offset estimated
    // from the lines laid out so far, laying out nothing (exact where they reach).
    int PendingBefore(int offset) const;
    Line EstimatedLineOf(const QTextBlock& block, int offset);
    // The caret at offset, `width` wide, relative to the paragraph's top-left corner;
    // its line's ascent.
    QRectF CaretRect(const QTextBlock& block, int offset, int width, qreal* ascent = nullptr);
    // The offset hit by a point relative to the paragraph's top-left corner (which lies in
    // the paragraph), as the document layout's hit test answers it; exact tells whether
    // the point is on a character. A point on the composition (at either of its ends
    // included) hits where it stands; inComposition, when given, then tells which place
    // in it was hit (0 to its length), and is -1 elsewhere.
    int HitTest(const QTextBlock& block, const QPointF& point, Qt::HitTestAccuracy accuracy, bool* exact,
                int* inComposition = nullptr);

    // Draws what of the paragraph lies in clip (document coordinates) with its top-left
    // corner at origin, the view's selections, and the caret at caretOffset (-1: none).
    void Draw(QPainter* painter, const QTextBlock& block, const QPointF& origin, const QRectF& clip,
              const QAbstractTextDocumentLayout::PaintContext& context, const QRectF& page, int caretOffset,
              int cursorWidth);

private:
    struct Segment {
        int start = 0;
        int length = 0;
        int lines = 0;
        int firstLine = 0;  // number of its first line in the paragraph
        qint64 top = 0;     // 1/64 pixel below the paragraph's top
        qint64 height = 0;
        std::shared_ptr<QTextLayout> layout;  // null when dropped to save memory
        quint64 used = 0;
        // Text not laid out yet between the lines laid out from the paragraph's start and
        // an island laid out further on; its lines and height are estimated.
        bool gap = false;
        int End() const { return start + length; }
    };

    // The end of the text laid out, an island after a gap included.
    int Frontier() const { return segments_.empty() ? 0 : segments_.back().End(); }

    // A place far past the lines laid out is laid out at once in an island of segments
    // that starts a little before it, at an estimated line, after a gap whose lines
    // are estimated; the lines after the gap are estimated too. The background fills
    // the gap from its start and the island's lines become exact where the lines laid
    // into the gap end where one of the island's segments starts. At most one gap.
    std::size_t GapIndex() const;  // segments_.size() when there is none
    // Where the lines laid out from the paragraph's start end.
    int ExactEnd() const;
    // Lays out what covers offset in the laid-out text: on from the lines before it
    // when they are near, else in an island (replacing the one there was).
    void Reach(const QTextBlock& block, int offset);
    // Where an island laid out for offset starts (not before notBefore).
    int IslandStartFor(int offset, int notBefore) const;
    // Lays out the island on back from its start to a little before offset, which lies
    // in the gap not far before it.
    void GrowIslandBack(const QTextBlock& block, int offset);
    void ReachY(const QTextBlock& block, qint64 y);
    // Lays out every line up to `line` from the paragraph's start.
    void ReachLine(const QTextBlock& block, int line);
    // Lays out one segment at the gap's start.
    void FillGap(const QTextBlock& block);
    void ExtendPast(const QTextBlock& block, int offset);
    double CharsPerLine() const;
    double LineHeight() const;
    std::shared_ptr<QTextLayout> MakeLayout(const QTextBlock& block, int start, int length);
    // Takes the block's runs of one character format.
    void TakeRuns(const QTextBlock& block);
    // Lays out the segment starting at start; it ends at a line end no sooner than a
    // segment's length, or at stopAt when a line ends there.
    Segment LayOutSegment(const QTextBlock& block, int start, int stopAt);
    void Append(Segment segment);
    // Lays out again after the laid-out text changed at from: `removed` characters
    // replaced by `added` ones.
    void Relayout(const QTextBlock& block, int from, int removed, int added);
    // Turns the segments from `first` on into a gap estimated from their lines, after
    // an edit that changed the text's length by delta.
    void EstimateFrom(std::size_t first, int delta);
    // Ends a dropped composition.
    void Settle(const QTextBlock& block);
    void RemovePreedit(const QTextBlock& block);
    void ClearPreedit();
    // A block offset in the laid-out text, which holds the composition: after it when
    // `after`, before it otherwise (where the caret is, inside it at its caret).
    int Laid(int offset, bool after) const;
    int LaidCaret(int offset) const;
    // The block offset of a laid-out one; a place inside the composition is where it stands.
    int InBlock(int laid) const;
    void PlaceFrom(std::size_t first);
    // The segment's layout, laid out again when it was dropped.
    QTextLayout& LayoutOf(const QTextBlock& block, std::size_t index);
    void DropOldLayouts();
    // Lays out segments until the condition holds or the text is used up.
    template <typename Done> void ExtendUntil(const QTextBlock& block, Done done);
    std::size_t SegmentAtOffset(int offset) const;
    std::size_t SegmentAtLine(int line) const;
    std::size_t SegmentAtY(qint64 y) const;
    // The segment at y pixels below the paragraph's top, laying out as far as that.
    std::size_t SegmentCoveringY(const QTextBlock& block, qreal y);
    Line LineIn(const QTextBlock& block, std::size_t segment, int lineInSegment);
    int TextLength() const { return static_cast<int>(text_.size()); }
    // The block's text, taken anew after a wide edit.
    static QString TextOf(const QTextBlock& block);
    void TakeText(const QTextBlock& block);

    LayoutEnvironment environment_;
    LineGeometry geometry_;
    QString text_;  // the block's text with the composition in it
    int preeditAt_ = -1;
    QString preedit_;
    int preeditCaret_ = 0;
    QList<QTextLayout::FormatRange> preeditFormats_;
    bool preeditDropped_ = false;
    std::vector<Segment> segments_;
    // The block's runs of one character format: where each starts (an offset in the
    // block) and its format's index in the document; a last one with index -1 marks the
    // end. Empty until needed after each edit.
    struct Run {
        int start = 0;
        int format = -1;
    };
    std::vector<Run> runs_;
    qint64 changedFrom_ = 0;
    qreal widest_ = 0;
    quint64 useClock_ = 0;
    double defaultLineHeight_ = 0;  // 1/64 pixel
    double defaultCharsPerLine_ = 0;
};
