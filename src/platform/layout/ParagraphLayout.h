#pragma once
// One paragraph laid out and drawn the way Qt's own document layout does it in a single
// column: alignment, left/right margins, first-line indent, list indent and markers.
// Heights are in 1/64 pixel, the unit Qt's layout adds line heights in.
#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextBlock>
#include <QTextFormat>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

class QPainter;
class QPalette;
class QPointF;
class QTextCharFormat;

// What every paragraph's layout depends on besides its own text and formats.
struct LayoutEnvironment {
    qreal pageWidth = -1;  // negative: lines do not wrap
    qreal indentWidth = 40;
    QFont defaultFont;
    QTextOption defaultOption;

    bool operator==(const LayoutEnvironment& other) const;
    bool operator!=(const LayoutEnvironment& other) const { return !(*this == other); }
};

struct ParagraphMetrics {
    qint64 height = 0;  // 1/64 pixel
    int lines = 1;
    qreal width = 0;      // right edge of the widest line, right margin included
    qreal textWidth = 0;  // the lines' natural widths added up
};

constexpr qreal kFixedScale = 64.0;

// Pixels in 1/64 pixel, rounded down (the units a position lies in), rounded up, or
// rounded to the nearest (a height, as Qt's layout rounds it); and back in pixels.
inline qint64 FixedUnitsBelow(qreal pixels)
{
    return static_cast<qint64>(std::floor(pixels * kFixedScale));
}
inline qint64 FixedUnitsAbove(qreal pixels)
{
    return static_cast<qint64>(std::ceil(pixels * kFixedScale));
}
inline qint64 ToFixedUnits(qreal pixels)
{
    return std::llround(pixels * kFixedScale);
}
inline qreal Pixels(qint64 units)
{
    return units / kFixedScale;
}

// What text not laid out yet is estimated at, from the document's default font: the
// height of a line in 1/64 pixel, as lines are laid out (whole pixels, leading included),
// and the width a character takes on average, spaces and wider characters allowed for.
struct FontEstimate {
    double lineHeight = 0;
    qreal charWidth = 0;
};
FontEstimate EstimateFromFont(const QFont& font);

// How the lines of a paragraph are placed: its text option, the left and right edges of
// its lines and the first line's indent, from its format and the environment.
struct LineGeometry {
    QTextBlockFormat format;
    QTextOption option;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    qreal left = 0;
    qreal right = 0;
    qreal rightMargin = 0;
    qreal textIndent = 0;
    bool wordOrAnywhere = false;
};
LineGeometry LineGeometryOf(const QTextBlock& block, const LayoutEnvironment& environment);

// Creates the next line of layout (between beginLayout and endLayout; its text option
// set from geometry) and places it y units (1/64 pixel) down, adding its height to y and
// its size to metrics. False when the text is used up.
bool LayOutNextLine(QTextLayout& layout, LineGeometry& geometry, bool firstLine, qint64& y, ParagraphMetrics& metrics);

// Lays out block's text in layout, which is the block's own layout or one made from the
// block. Lines are positioned relative to the paragraph's top-left corner.
ParagraphMetrics LayOutParagraph(QTextLayout& layout, const QTextBlock& block, const LayoutEnvironment& environment);

// The offset in layout that a point (in the layout's coordinates) hits among the lines
// [firstLine, endLine): on the line at its height, or the nearest end of the lines above
// or below it. exact is set when the point lies on a line's text.
int HitLines(const QTextLayout& layout, int firstLine, int endLine, const QPointF& point,
             Qt::HitTestAccuracy accuracy, bool* exact);

// Draws the list marker of a block in a list (a bullet, or the item's number) in the
// indent before its first line; nothing for other blocks. offset is the position the
// block's layout is drawn at; selectionFormat is set when the selection covers the
// marker.
void DrawListMarker(QPainter* painter, const QTextBlock& block, const QTextLayout& layout, const QPointF& offset,
                    const QPalette& palette, const QTextCharFormat* selectionFormat);

// The view's selections that meet [from, to) of a paragraph's drawn text, as ranges
// from `from`, not cut to it: QTextLayout highlights a line whole only when the range
// runs on past both its ends. drawnAt maps an offset in the block to the drawn text
// (an input method's composition may stand in it) before (false) or after (true) what
// stands there. marker, when a selection runs over the paragraph's start, is its
// format: the list marker is drawn selected.
struct DrawnSelections {
    QList<QTextLayout::FormatRange> ranges;
    const QTextCharFormat* marker = nullptr;
};
template <typename DrawnAt>
DrawnSelections SelectionsIn(const QTextBlock& block, const QAbstractTextDocumentLayout::PaintContext& context,
                             int from, int to, DrawnAt drawnAt);

// Draws a laid-out paragraph in area (its place in the document, the page wide): its
// background, list marker and text with the view's selections, and the caret when it
// stands in the paragraph. Nothing is drawn outside page.
void DrawParagraph(QPainter* painter, const QTextBlock& block, const QRectF& area,
                   const QAbstractTextDocumentLayout::PaintContext& context, const QRectF& page, int cursorWidth);

template <typename DrawnAt>
DrawnSelections SelectionsIn(const QTextBlock& block, const QAbstractTextDocumentLayout::PaintContext& context,
                             int from, int to, DrawnAt drawnAt)
{
    DrawnSelections drawn;
    const int blockStart = block.position();
    for (const QAbstractTextDocumentLayout::Selection& range : context.selections) {
        const int start = drawnAt(range.cursor.selectionStart() - blockStart, true);
        const int end = drawnAt(range.cursor.selectionEnd() - blockStart, false);
        if (end > start && end > from && start < to)
            drawn.ranges.append({start - from, end - start, range.format});
        if (range.cursor.selectionStart() < blockStart && range.cursor.selectionEnd() > blockStart)
            drawn.marker = &range.format;
    }
    return drawn;
}
