#pragma once
// The rich-edit control's document layout: one column of paragraphs, each laid out with
// its own QTextLayout, their heights and displayed-line counts kept in a HeightIndex so
// that an edit costs what it changed, not what follows it.
//
// Paragraphs not laid out yet carry estimated heights. What is drawn, hit or asked for
// is laid out at once; the rest is laid out in idle slices of a few milliseconds that go
// on until every paragraph is exact, whatever the user does meanwhile. An edit lays
// out again only the paragraphs whose text or formats changed, also when one edit block
// changed paragraphs far apart.
#include "platform/layout/HeightIndex.h"
#include "platform/layout/LongParagraph.h"
#include "platform/layout/ParagraphLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QDeadlineTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class QTextDocument;

class TDocumentLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
public:
    explicit TDocumentLayout(QTextDocument* document);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    // Lays out the block's own QTextLayout (the caret and cursor movement read it).
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    // The 0-based displayed line holding position (clamped to the text).
    int LineFromPosition(int position);
    // The position of the first character of a displayed line; -1 when there is none.
    int LineStart(int line);
    // The displayed line holding position and that line's first position. Exact, as
    // LineFromPosition and LineStart give them, when that takes laying out no more than
    // a frame's worth of text; otherwise estimated from what is laid out, laying out
    // nothing past the paragraph holding position (and of a long paragraph nothing).
    // LinesLaidOut tells when asking again may give a better answer.
    struct LinePlace {
        int line = 0;
        int start = 0;
        bool exact = false;
    };
    LinePlace EstimatedLine(int position);

    // Whether position lies in a paragraph laid out in segments, whose block layout Qt's
    // caret code finds empty.
    bool InLongParagraph(int position) const;
    // Whether any paragraph is laid out in segments.
    bool HasLongParagraphs() const { return longParagraphs_ > 0; }
    // The caret at position, `width` wide, in document coordinates; its line's ascent.
    QRectF CaretRect(int position, int width, qreal* ascent = nullptr);
    // The displayed line holding position: its first position, and where End puts the
    // caret (before the space the line broke at, unless it is the paragraph's last).
    std::pair<int, int> LineBounds(int position);
    // The caret drawn in long paragraphs, whose blinking the control does itself; -1
    // draws none there.
    void SetLongParagraphCaret(int position) { longCaret_ = position; }
    // An input method's composition at position in a long paragraph, laid out in the
    // text as QTextLayout's pre-edit area is (see TLongParagraph::SetPreedit); an empty
    // text ends it, and so does any edit of the document.
    void SetLongParagraphPreedit(int position, const QString& text, int caret,
                                 const QList<QTextLayout::FormatRange>& formats);
    // Where in that composition a point (document coordinates) lies, as Qt's layout's
    // hit test less the caret's position tells its text control: 0 to the
    // composition's length, -1 off it or when there is none.
    int CompositionOffsetAt(const QPointF& point);

    // True while some paragraphs still carry estimated heights; how many do.
    bool LayoutPending() const { return estimated_ > 0; }
    int EstimatedParagraphs() const { return estimated_; }
    // Lays out every paragraph now.
    void FinishLayout();
    // While held, nothing is laid out in the background (a file still loading wants the
    // time); what is shown or asked for is laid out as always.
    void HoldBackgroundLayout(bool hold);
    // Room for about `paragraphs` paragraphs, so that a document growing to them (a
    // file loading) does not copy what is known of the others on its way.
    void ReserveParagraphs(int paragraphs);

    // Called around layout work that may change the heights of paragraphs above what is
    // shown (idle slices, exact line numbers), so the view can keep its place.
    std::function<void()> BeforeHeightsSettle;
    std::function<void()> AfterHeightsSettle;
    // The block shown at y, laid out, and its top, for keeping the view in place.
    int BlockAtY(qreal y);
    qreal BlockTop(int blockNumber) const;

Q_SIGNALS:
    // The background layout laid out more of the document.
    void LinesLaidOut();

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    // What a paragraph was laid out from; a paragraph whose key is unchanged after an
    // edit block keeps its layout.
    struct Key {
        int length = -1;
        size_t textHash = 0;
        int blockFormat = -1;
        uint charFormats = 0;
        bool operator==(const Key& o) const
        {
            return length == o.length && textHash == o.textHash && blockFormat == o.blockFormat
                && charFormats == o.charFormats;
        }
    };
    struct Paragraph {
        Key key;
        bool exact = false;      // height and lines measured for the current content
        bool ownLayout = false;  // the block's own QTextLayout holds current lines
        bool isLong = false;     // long enough to be laid out in segments
        // A long paragraph is laid out in segments; its own layout stays empty.
        std::shared_ptr<TLongParagraph> segments;
    };

    static Key KeyOf(const QTextBlock& block);
    static uint CharFormatsOf(const QTextBlock& block);
    LayoutEnvironment CurrentEnvironment() const;
    void ResetAll();
    // Gives the paragraphs [first, first + inserted) estimated heights in place of the
    // `removed` ones that stood there; returns the first block.
    QTextBlock ReplaceParagraphs(int first, int removed, int inserted);
    void SetEstimate(int index, QTextBlock block);
    // After an edit block that spans many paragraphs: estimates for those whose key
    // changed, kept layouts for the rest. An edit that replaced as many characters as
    // it removed may have changed only formats.
    void CompareKeys(int first, int oldCount, int newCount, bool formatsMayHaveChanged);
    void Store(int index, const QTextBlock& block, const ParagraphMetrics& metrics);
    // After an edit that left the paragraphs [first, first + count) as many as before
    // and inserted `added` characters at from: long paragraphs laid out in segments lay
    // out again what changed, the others are laid out anew. False, doing nothing, when
    // none of them has segments. Sets changedFrom_ (from the document's top).
    bool EditSegments(int first, int count, int from, int added);
    // Measures a block with a layout of its own, leaving the block's layout alone; a long
    // paragraph for about budgetNs nanoseconds (all of it when negative). True when the
    // paragraph is measured to its end.
    bool Measure(int index, const QTextBlock& block, qint64 budgetNs = -1);
    void EnsureOwnLayout(int index, const QTextBlock& block);
    // The segments of a long paragraph, made when first needed.
    TLongParagraph& Segments(int index, const QTextBlock& block);
    // Takes a long paragraph's height and lines into the index after its segments
    // changed.
    void StoreSegments(int index);
    // The offset in the block that a point hits (relative to the paragraph's top-left).
    int HitInParagraph(int index, const QTextBlock& block, const QPointF& point, Qt::HitTestAccuracy accuracy,
                       bool* exact, int* inComposition = nullptr);
    // hitTest's answer; inComposition as TLongParagraph::HitTest gives it.
    int HitAt(const QPointF& point, Qt::HitTestAccuracy accuracy, int* inComposition);
    // Lays out every estimated paragraph before `end`.
    void MeasureBefore(int end);
    void EnsureInStep();
    int NextEstimated();
    void IdleSlice();
    void ScheduleIdle();
    // After an edit the paint that shows it comes before any background slice, and
    // what comes in right after the paint (the next key) too.
    void AwaitPaint();
    void Painted();
    void NotifySizeChanged();
    void NotifySizeChangedLater();

    QTextDocument* document_;
    LayoutEnvironment environment_;
    HeightIndex index_;
    std::vector<Paragraph> paragraphs_;
    int estimated_ = 0;       // paragraphs whose height is an estimate
    int firstEstimated_ = 0;  // no estimated paragraph lies before this one
    int lengthSeen_ = 0;
    qreal widest_ = 0;
    // Running totals of measured paragraphs, for estimating the others.
    double measuredWidth_ = 0;
    double measuredChars_ = 0;
    double measuredHeight_ = 0;
    double measuredLines_ = 0;
    double fontLineHeight_ = 0;  // 1/64 pixel
    double fontCharWidth_ = 0;
    int longCaret_ = -1;
    // The block layout blockBoundingRect last readied, until the document changes.
    const QTextLayout* preparedLayout_ = nullptr;
    qint64 changedFrom_ = 0;  // 1/64 pixel below the document's top: where the last edit's lines differ
    std::weak_ptr<TLongParagraph> preeditHolder_;  // the long paragraph showing a composition
    int longParagraphs_ = 0;  // paragraphs long enough to be laid out in segments
    QSizeF reportedSize_;
    bool sizeNotificationPending_ = false;
    bool backgroundHeld_ = false;
    QTimer idle_;
    bool editUnpainted_ = false;
    bool paintedSinceSlice_ = false;  // an edit's paint that no slice waited out yet
    QDeadlineTimer backgroundHeldUntil_;  // slices wait for it
};
