#include "platform/layout/ParagraphLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <climits>
#include <cmath>

namespace {

// Qt's layout computes in 26.6 fixed point; rounding the same way keeps line widths,
// and so line breaks, identical to its own.
qreal Fixed(qreal value)
{
    return std::round(value * kFixedScale) / kFixedScale;
}

// The widest line Qt's layout allows when lines do not wrap.
constexpr qreal kUnbounded = (INT_MAX / 256) / kFixedScale;

qreal ListIndent(const QTextBlock& block, const QTextBlockFormat& format, qreal indentWidth)
{
    qreal indent = format.indent();
    if (const QTextObject* object = block.document()->objectForFormat(format))
        indent += object->format().toListFormat().indent();
    return qFuzzyIsNull(indent) ? 0 : Fixed(indent * indentWidth);
}

} // namespace

FontEstimate EstimateFromFont(const QFont& font)
{
    const QFontMetricsF metrics(font);
    FontEstimate estimate;
    estimate.lineHeight = std::ceil(metrics.ascent() + metrics.descent() + std::max<qreal>(metrics.leading(), 0)) * kFixedScale;
    estimate.charWidth = metrics.averageCharWidth() * 1.5;
    return estimate;
}

bool LayoutEnvironment::operator==(const LayoutEnvironment& other) const
{
    const QTextOption& a = defaultOption;
    const QTextOption& b = other.defaultOption;
    return pageWidth == other.pageWidth && indentWidth == other.indentWidth && defaultFont == other.defaultFont
        && a.alignment() == b.alignment() && a.wrapMode() == b.wrapMode() && a.flags() == b.flags()
        && a.textDirection() == b.textDirection() && a.tabStopDistance() == b.tabStopDistance()
        && a.tabs() == b.tabs() && a.useDesignMetrics() == b.useDesignMetrics();
}

LineGeometry LineGeometryOf(const QTextBlock& block, const LayoutEnvironment& environment)
{
    LineGeometry geometry;
    geometry.format = block.blockFormat();
    const QTextBlockFormat& format = geometry.format;
    geometry.direction = block.textDirection();
    const Qt::LayoutDirection direction = geometry.direction;
    const qreal indent = ListIndent(block, format, environment.indentWidth);
    const qreal leftMargin = Fixed(format.leftMargin()) + (direction == Qt::RightToLeft ? 0 : indent);
    geometry.rightMargin = Fixed(format.rightMargin()) + (direction == Qt::RightToLeft ? indent : 0);

    QTextOption& option = geometry.option;
    option = environment.defaultOption;
    option.setTextDirection(direction);
    option.setTabs(format.tabPositions());
    Qt::Alignment alignment = environment.defaultOption.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        alignment = format.alignment();
    option.setAlignment(QStyle::visualAlignment(direction, alignment));
    if (format.nonBreakableLines() || environment.pageWidth < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    geometry.wordOrAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    const qreal pageRight = environment.pageWidth < 0 ? kUnbounded : Fixed(environment.pageWidth);
    geometry.left = leftMargin;
    geometry.right = pageRight - geometry.rightMargin;
    geometry.textIndent = Fixed(format.textIndent());
    return geometry;
}

bool LayOutNextLine(QTextLayout& layout, LineGeometry& geometry, bool firstLine, qint64& y, ParagraphMetrics& metrics)
{
    QTextLine line = layout.createLine();
    if (!line.isValid())
        return false;
    const QTextBlockFormat& format = geometry.format;
    QTextOption& option = geometry.option;
    line.setLeadingIncluded(true);
    qreal left = geometry.left;
    qreal right = geometry.right;
    if (firstLine) {
        if (geometry.direction == Qt::LeftToRight)
            left += geometry.textIndent;
        else
            right -= geometry.textIndent;
    }
    line.setLineWidth(right - left);
    // A glyph wider than the line: the line is widened to hold it, and the rest
    // of the paragraph breaks at word boundaries only, as in Qt's own layout.
    if (Fixed(line.naturalTextWidth()) > right - left) {
        if (geometry.wordOrAnywhere) {
            option.setWrapMode(QTextOption::WrapAnywhere);
            layout.setTextOption(option);
        }
        line.setLineWidth(std::max(line.naturalTextWidth(), right - left));
        if (geometry.wordOrAnywhere) {
            option.setWrapMode(QTextOption::WordWrap);
            layout.setTextOption(option);
        }
    }
    // Lines follow one another by their ascent, descent and leading, a negative leading
    // (a picture taller than the text) too, as in Qt's layout; a paragraph ends no
    // sooner than its last line's full height (see LayOutParagraph).
    const qreal rawHeight = std::ceil(line.ascent() + line.descent() + line.leading());
    const qint64 lineHeight = ToFixedUnits(format.lineHeight(rawHeight, 1));
    qint64 adjustment = 0;
    if (format.lineHeightType() == QTextBlockFormat::FixedHeight)
        adjustment = ToFixedUnits(line.ascent() + std::max<qreal>(line.leading(), 0)) - lineHeight * 4 / 5;
    else if (format.lineHeightType() == QTextBlockFormat::MinimumHeight)
        adjustment = ToFixedUnits(line.height()) - lineHeight;
    line.setPosition(QPointF(left, Pixels(y - adjustment)));
    y += lineHeight;
    metrics.width = std::max(metrics.width, line.x() + line.naturalTextWidth() + geometry.rightMargin);
    metrics.textWidth += line.naturalTextWidth();
    ++metrics.lines;
    return true;
}

ParagraphMetrics LayOutParagraph(QTextLayout& layout, const QTextBlock& block, const LayoutEnvironment& environment)
{
    LineGeometry geometry = LineGeometryOf(block, environment);
    layout.setTextOption(geometry.option);
    ParagraphMetrics metrics;
    metrics.lines = 0;
    qint64 y = 0;  // 1/64 pixel
    layout.beginLayout();
    while (LayOutNextLine(layout, geometry, metrics.lines == 0, y, metrics)) {
    }
    layout.endLayout();
    if (layout.lineCount() > 0 && geometry.format.lineHeightType() == QTextBlockFormat::SingleHeight) {
        const QTextLine last = layout.lineAt(layout.lineCount() - 1);
        y = std::max(y, ToFixedUnits(last.y() + std::ceil(last.height())));
    }
    metrics.height = y;
    metrics.lines = std::max(metrics.lines, 1);
    return metrics;
}

int HitLines(const QTextLayout& layout, int firstLine, int endLine, const QPointF& point,
             Qt::HitTestAccuracy accuracy, bool* exact)
{
    int offset = firstLine < endLine ? layout.lineAt(firstLine).textStart() : 0;
    for (int n = firstLine; n < endLine; ++n) {
        const QTextLine line = layout.lineAt(n);
        const QRectF rect = line.naturalTextRect();
        if (rect.top() > point.y()) {
            offset = std::min(offset, line.textStart());
        } else if (rect.bottom() <= point.y()) {
            offset = std::max(offset, line.textStart() + line.textLength());
        } else {
            *exact = rect.left() <= point.x() && rect.right() >= point.x();
            return line.xToCursor(point.x(), accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter
                                                                      : QTextLine::CursorBetweenCharacters);
        }
    }
    return offset;
}

void DrawListMarker(QPainter* painter, const QTextBlock& block, const QTextLayout& layout, const QPointF& offset,
                    const QPalette& palette, const QTextCharFormat* selectionFormat)
{
    QTextList* list = block.textList();
    if (!list || layout.lineCount() == 0)
        return;
    const QTextBlockFormat blockFormat = block.blockFormat();
    const QTextCharFormat charFormat = block.charFormat();
    const QFont font(charFormat.font());
    const QFontMetrics metrics(font);
    int style = list->format().style();
    if (blockFormat.hasProperty(QTextFormat::ListStyle))
        style = blockFormat.intProperty(QTextFormat::ListStyle);
    if (style == QTextListFormat::ListStyleUndefined)
        return;
    const bool bullet = style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
                     || style == QTextListFormat::ListSquare;
    const QString itemText = bullet ? QString() : list->itemText(block);
    QSizeF size;
    if (bullet) {
        size.setWidth(metrics.lineSpacing() / 3);
        size.setHeight(size.width());
    } else {
        size = QSizeF(metrics.horizontalAdvance(itemText), metrics.height());
    }

    const Qt::LayoutDirection direction = block.textDirection();
    QPointF position = (offset + layout.position()).toPoint();
    const QRectF textRect = layout.lineAt(0).naturalTextRect();
    position += textRect.topLeft().toPoint();
    if (direction == Qt::RightToLeft)
        position.rx() += textRect.width();
    QRectF r(position, size);
    qreal xOffset = metrics.horizontalAdvance(QLatin1Char(' '));
    if (direction == Qt::LeftToRight)
        xOffset = -xOffset - size.width();
    r.translate(xOffset, (metrics.height() / 2) - (size.height() / 2));

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selectionFormat) {
        painter->setPen(QPen(selectionFormat->foreground(), 0));
        painter->fillRect(r, selectionFormat->background());
    } else {
        QBrush foreground = charFormat.foreground();
        if (foreground == Qt::NoBrush)
            foreground = palette.text();
        painter->setPen(QPen(foreground, 0));
    }
    const QBrush brush = palette.brush(QPalette::Text);
    switch (style) {
    case QTextListFormat::ListDisc:
        painter->setBrush(brush);
        painter->setPen(Qt::NoPen);
        painter->drawEllipse(r);
        break;
    case QTextListFormat::ListCircle:
        painter->setPen(QPen(brush, 0));
        painter->drawEllipse(r.translated(0.5, 0.5));
        break;
    case QTextListFormat::ListSquare:
        painter->fillRect(r, painter->pen().brush());
        break;
    default: {
        QTextLayout markerLayout(itemText, font);
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setTextDirection(direction);
        markerLayout.setTextOption(option);
        markerLayout.beginLayout();
        QTextLine line = markerLayout.createLine();
        if (line.isValid())
            line.setLeadingIncluded(true);
        markerLayout.endLayout();
        markerLayout.draw(painter, QPointF(r.left(), position.y()));
        break;
    }
    }
    painter->restore();
}

void DrawParagraph(QPainter* painter, const QTextBlock& block, const QRectF& area,
                   const QAbstractTextDocumentLayout::PaintContext& context, const QRectF& page, int cursorWidth)
{
    QTextLayout* layout = block.layout();
    const QPointF offset = area.topLeft();
    const int blockStart = block.position();
    const int blockLength = block.length();

    DrawnSelections selections = SelectionsIn(block, context, 0, blockLength, [](int offset, bool) { return offset; });
    for (const QAbstractTextDocumentLayout::Selection& range : context.selections) {
        if (!range.cursor.hasSelection() && range.format.hasProperty(QTextFormat::FullWidthSelection)
            && block.contains(range.cursor.position())) {
            // A full-width selection marks the line of its cursor.
            const QTextLine line = layout->lineForTextPosition(range.cursor.position() - blockStart);
            QTextLayout::FormatRange whole{line.textStart(), line.textLength(), range.format};
            if (whole.start + whole.length == blockLength - 1)
                ++whole.length;
            selections.ranges.append(whole);
        }
    }

    const QBrush background = block.blockFormat().background();
    if (background != Qt::NoBrush)
        painter->fillRect(area, background);
    DrawListMarker(painter, block, *layout, offset, context.palette, selections.marker);

    const QPen pen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    // Like Qt's layout, nothing is drawn past the page: a selected paragraph break at
    // the end of a right-aligned line would stick out of it.
    layout->draw(painter, offset, selections.ranges, context.clip.isValid() ? context.clip & page : page);
    const int cursor = context.cursorPosition;
    const bool caretHere = cursor >= blockStart && cursor < blockStart + blockLength;
    if (caretHere || (cursor < -1 && !layout->preeditAreaText().isEmpty())) {
        // A position below -1 is the caret inside an input method's pre-edit text.
        const int inLayout = cursor < -1 ? layout->preeditAreaPosition() - (cursor + 2) : cursor - blockStart;
        layout->drawCursor(painter, offset, inLayout, cursorWidth);
    }
    painter->setPen(pen);
}
