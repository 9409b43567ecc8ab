#include "platform/layout/LongParagraph.h"

#include "platform/layout/BigCopies.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace {

// A segment holds at least this many characters (the last one fewer), about 1 ms of
// layout: what an edit costs.
constexpr int kSegmentLength = 2048;
// Text laid out past a segment's end, so that the break at its last line's end sees the
// text that follows it, as the whole paragraph's layout would.
constexpr int kLookahead = 1024;
// An edit lays out at most this much past its end for the lines to fall in step with
// the segments after it; what follows is laid out later. An edit adding more than this
// (a wide edit) lays out nothing at once.
constexpr int kResyncReach = 2 * kSegmentLength;
// Segments that keep their layouts; the others are laid out again when drawn.
constexpr std::size_t kKeptLayouts = 48;
// Edits of up to this many characters update the copy of the text in place.
constexpr int kPatchLimit = 4096;

} // namespace

int TLongParagraph::threshold = 16 * 1024;

QString TLongParagraph::TextOf(const QTextBlock& block)
{
    QString text;
    TBigCopy::Make(TBigCopy::Kind::Segments, [&]() { text = block.text(); });
    return text;
}

void TLongParagraph::TakeText(const QTextBlock& block)
{
    // The old copy goes first, so that the new one can take its pages.
    text_ = QString();
    text_ = TextOf(block);
}

bool TLongParagraph::IsLong(const QTextBlock& block)
{
    if (!block.isValid() || block.length() <= threshold)
        return false;
    // A picture's size comes from the document's layout, which a segment laid out on
    // its own does not reach (it would be drawn nowhere, zero pixels wide): a paragraph
    // holding one is laid out whole. The document's few formats tell first whether
    // there can be one, sparing a walk through the paragraph's runs.
    const QList<QTextFormat> formats = block.document()->allFormats();
    if (std::none_of(formats.begin(), formats.end(),
                     [](const QTextFormat& format) { return format.objectType() != QTextFormat::NoObject; }))
        return true;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().objectType() != QTextFormat::NoObject)
            return false;
    return true;
}

TLongParagraph::TLongParagraph(const QTextBlock& block, const LayoutEnvironment& environment)
    : environment_(environment), geometry_(LineGeometryOf(block, environment)), text_(TextOf(block))
{
    const FontEstimate estimate = EstimateFromFont(environment.defaultFont);
    defaultLineHeight_ = estimate.lineHeight;
    const qreal width = std::max<qreal>(1, geometry_.right - geometry_.left);
    defaultCharsPerLine_ = std::max<qreal>(1, width / std::max<qreal>(1, estimate.charWidth));
    Append(LayOutSegment(block, 0, -1));
}

void TLongParagraph::TakeRuns(const QTextBlock& block)
{
    // From the fragments' lengths: a fragment's position is a walk through the
    // document's tree, too slow for the many thousand runs of a formatted paragraph.
    runs_.clear();
    int at = 0;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int format = fragment.charFormatIndex();
        if (runs_.empty() || runs_.back().format != format)
            runs_.push_back({at, format});
        at += fragment.length();
    }
    runs_.push_back({at, -1});
}

std::shared_ptr<QTextLayout> TLongParagraph::MakeLayout(const QTextBlock& block, int start, int length)
{
    auto layout = std::make_shared<QTextLayout>(text_.mid(start, length), environment_.defaultFont);
    layout->setCacheEnabled(true);
    QList<QTextLayout::FormatRange> formats;
    const int end = start + length;
    // From and to are offsets in the laid-out text.
    const auto add = [&](int from, int to, const QTextCharFormat& format) {
        from = std::max(from, start);
        to = std::min(to, end);
        if (to > from)
            formats.append({from - start, to - from, format});
    };
    if (runs_.empty())
        TakeRuns(block);
    const QList<QTextFormat> all = block.document()->allFormats();
    const int first = InBlock(start);
    auto run = std::upper_bound(runs_.begin(), runs_.end() - 1, first,
                                [](int offset, const Run& r) { return offset < r.start; });
    if (run != runs_.begin())
        --run;
    for (; run + 1 < runs_.end(); ++run) {
        const int runStart = run->start;
        const int runEnd = (run + 1)->start;
        if (Laid(runStart, true) >= end)
            break;
        const QTextCharFormat format = all.value(run->format).toCharFormat();
        // A run the composition stands in goes on after it.
        if (preeditAt_ > runStart && preeditAt_ < runEnd) {
            add(runStart, preeditAt_, format);
            add(Laid(preeditAt_, true), Laid(runEnd, false), format);
        } else {
            add(Laid(runStart, true), Laid(runEnd, false), format);
        }
    }
    for (const QTextLayout::FormatRange& range : preeditFormats_)
        add(preeditAt_ + range.start, preeditAt_ + range.start + range.length, range.format);
    std::stable_sort(formats.begin(), formats.end(),
                     [](const QTextLayout::FormatRange& a, const QTextLayout::FormatRange& b) { return a.start < b.start; });
    layout->setFormats(formats);
    layout->setTextOption(geometry_.option);
    return layout;
}

TLongParagraph::Segment TLongParagraph::LayOutSegment(const QTextBlock& block, int start, int stopAt)
{
    const int textLength = TextLength();
    for (int take = std::min(textLength - start, kSegmentLength + 2 * kLookahead);;
         take = std::min(textLength - start, take * 2)) {
        const bool cut = start + take < textLength;
        Segment segment;
        segment.start = start;
        segment.layout = MakeLayout(block, start, take);
        LineGeometry geometry = geometry_;
        ParagraphMetrics metrics;
        metrics.lines = 0;
        qint64 y = 0;
        int end = 0;
        bool tooShort = false;
        segment.layout->beginLayout();
        while (end < kSegmentLength) {
            if (!LayOutNextLine(*segment.layout, geometry, start == 0 && metrics.lines == 0, y, metrics))
                break;
            const QTextLine line = segment.layout->lineAt(metrics.lines - 1);
            end = line.textStart() + line.textLength();
            // A line that runs into the last characters laid out may break otherwise
            // once the text after them is seen.
            if (cut && end > take - kLookahead) {
                tooShort = true;
                break;
            }
            if (start + end == stopAt)
                break;
        }
        segment.layout->endLayout();
        if (tooShort && cut)
            continue;
        segment.length = std::max(end, std::min(1, textLength - start));
        segment.lines = std::max(metrics.lines, 1);
        segment.height = y;
        widest_ = std::max(widest_, metrics.width);
        segment.used = ++useClock_;
        return segment;
    }
}

void TLongParagraph::Append(Segment segment)
{
    segments_.push_back(std::move(segment));
    PlaceFrom(segments_.size() - 1);
    DropOldLayouts();
}

void TLongParagraph::PlaceFrom(std::size_t first)
{
    for (std::size_t i = first; i < segments_.size(); ++i) {
        Segment& segment = segments_[i];
        if (i == 0) {
            segment.top = 0;
            segment.firstLine = 0;
        } else {
            const Segment& previous = segments_[i - 1];
            segment.top = previous.top + previous.height;
            segment.firstLine = previous.firstLine + previous.lines;
        }
    }
}

void TLongParagraph::DropOldLayouts()
{
    // The least recently used go first; among equals (segments measured in passing all
    // carry 0) the earlier ones, so that never more than kKeptLayouts stay.
    std::vector<std::pair<quint64, std::size_t>> uses;
    for (std::size_t i = 0; i < segments_.size(); ++i)
        if (segments_[i].layout)
            uses.emplace_back(segments_[i].used, i);
    if (uses.size() <= kKeptLayouts)
        return;
    const auto firstKept = uses.end() - kKeptLayouts;
    std::nth_element(uses.begin(), firstKept, uses.end());
    for (auto it = uses.begin(); it != firstKept; ++it)
        segments_[it->second].layout.reset();
}

int TLongParagraph::KeptLayouts() const
{
    return static_cast<int>(std::count_if(segments_.begin(), segments_.end(),
                                          [](const Segment& segment) { return segment.layout != nullptr; }));
}

QTextLayout& TLongParagraph::LayoutOf(const QTextBlock& block, std::size_t index)
{
    Segment& segment = segments_[index];
    segment.used = ++useClock_;
    if (!segment.layout) {
        const Segment again = LayOutSegment(block, segment.start, segment.End());
        segment.layout = again.layout;
        DropOldLayouts();
    }
    return *segment.layout;
}

template <typename Done>
void TLongParagraph::ExtendUntil(const QTextBlock& block, Done done)
{
    while (Frontier() < TextLength() && !done())
        Append(LayOutSegment(block, Frontier(), -1));
}

void TLongParagraph::ExtendPast(const QTextBlock& block, int offset)
{
    ExtendUntil(block, [&]() { return Frontier() > offset; });
}

bool TLongParagraph::Extend(const QTextBlock& block, qint64 budgetNs)
{
    Settle(block);
    QElapsedTimer timer;
    timer.start();
    const quint64 clock = useClock_;
    const auto spent = [&]() { return budgetNs >= 0 && timer.nsecsElapsed() >= budgetNs; };
    while (GapIndex() < segments_.size() && !spent())
        FillGap(block);
    ExtendUntil(block, spent);
    // Segments measured in passing are the first to give their layouts back.
    for (Segment& segment : segments_)
        if (segment.used > clock)
            segment.used = 0;
    DropOldLayouts();
    return Exact();
}

bool TLongParagraph::Exact() const
{
    return GapIndex() == segments_.size() && Frontier() >= TextLength();
}

int TLongParagraph::Lines() const
{
    const int laidOut = segments_.empty() ? 0 : segments_.back().firstLine + segments_.back().lines;
    const int rest = TextLength() - Frontier();
    if (rest <= 0)
        return std::max(laidOut, 1);
    double charsPerLine = defaultCharsPerLine_;
    if (laidOut > 0)
        charsPerLine = static_cast<double>(Frontier()) / laidOut;
    return laidOut + std::max(1, static_cast<int>(std::ceil(rest / std::max(1.0, charsPerLine))));
}

qint64 TLongParagraph::Height() const
{
    const qint64 laidOut = segments_.empty() ? 0 : segments_.back().top + segments_.back().height;
    const int laidOutLines = segments_.empty() ? 0 : segments_.back().firstLine + segments_.back().lines;
    const int restLines = Lines() - laidOutLines;
    if (restLines <= 0)
        return laidOut;
    const double lineHeight = laidOutLines > 0 ? static_cast<double>(laidOut) / laidOutLines : defaultLineHeight_;
    return laidOut + static_cast<qint64>(restLines * lineHeight);
}

void TLongParagraph::Edit(const QTextBlock& block, int from, int removed, int added)
{
    geometry_ = LineGeometryOf(block, environment_);
    runs_.clear();
    if (preeditAt_ >= 0) {
        // The composition ends with the edit: one change, from the nearer of the two to
        // the farther (in the text before the edit).
        const int length = static_cast<int>(preedit_.size());
        const int low = std::min(preeditAt_, from);
        const int high = std::max(preeditAt_, from + removed);
        ClearPreedit();
        TakeText(block);
        Relayout(block, low, high + length - low, high + added - removed - low);
        return;
    }
    // Keep the copy of the text in step.
    const int newLength = block.length() - 1;
    if (added <= kPatchLimit && from + removed <= TextLength()) {
        QString inserted;
        inserted.reserve(added);
        const QTextDocument* document = block.document();
        for (int i = 0; i < added; ++i)
            inserted += document->characterAt(block.position() + from + i);
        text_.replace(from, removed, inserted);
    }
    if (TextLength() != newLength || added > kPatchLimit)
        TakeText(block);
    Relayout(block, from, removed, added);
}

void TLongParagraph::ClearPreedit()
{
    preeditAt_ = -1;
    preedit_.clear();
    preeditCaret_ = 0;
    preeditFormats_.clear();
    preeditDropped_ = false;
}

void TLongParagraph::RemovePreedit(const QTextBlock& block)
{
    if (preeditAt_ < 0)
        return;
    const int at = preeditAt_;
    const int length = static_cast<int>(preedit_.size());
    text_.remove(at, length);
    ClearPreedit();
    Relayout(block, at, length, 0);
}

void TLongParagraph::Settle(const QTextBlock& block)
{
    if (preeditDropped_)
        RemovePreedit(block);
    preeditDropped_ = false;
}

void TLongParagraph::SetPreedit(const QTextBlock& block, int offset, const QString& text, int caret,
                                const QList<QTextLayout::FormatRange>& formats)
{
    RemovePreedit(block);
    preeditDropped_ = false;
    if (text.isEmpty())
        return;
    offset = std::clamp(offset, 0, TextLength());
    text_.insert(offset, text);
    preeditAt_ = offset;
    preedit_ = text;
    preeditCaret_ = std::clamp(caret, 0, static_cast<int>(text.size()));
    preeditFormats_ = formats;
    Relayout(block, offset, 0, static_cast<int>(text.size()));
}

int TLongParagraph::Laid(int offset, bool after) const
{
    if (preeditAt_ < 0 || offset < preeditAt_ || (offset == preeditAt_ && !after))
        return offset;
    return offset + static_cast<int>(preedit_.size());
}

int TLongParagraph::LaidCaret(int offset) const
{
    return preeditAt_ >= 0 && offset == preeditAt_ ? preeditAt_ + preeditCaret_ : Laid(offset, true);
}

int TLongParagraph::InBlock(int laid) const
{
    if (preeditAt_ < 0 || laid <= preeditAt_)
        return laid;
    const int length = static_cast<int>(preedit_.size());
    return laid < preeditAt_ + length ? preeditAt_ : laid - length;
}

void TLongParagraph::Relayout(const QTextBlock& block, int from, int removed, int added)
{
    // An edit in a gap or an island takes both away: the island is laid out again
    // where it is next needed.
    const std::size_t gap = GapIndex();
    if (gap < segments_.size() && std::max(0, from - 1) >= segments_[gap].start) {
        segments_.resize(gap);
        // A gap from the paragraph's start (after a wide edit) leaves nothing.
        if (segments_.empty()) {
            segments_.push_back(LayOutSegment(block, 0, -1));
            PlaceFrom(0);
        }
    }
    if (from > Frontier()) {
        changedFrom_ = Height();
        return;
    }
    // The line before the change may break otherwise too (a space typed at the start of
    // a line joins the line before), so the segment holding the character before it is
    // the first laid out again.
    const std::size_t first = SegmentAtOffset(std::max(0, from - 1));
    const int restart = segments_[first].start;
    const int delta = added - removed;
    const int changeEnd = from + removed;
    changedFrom_ = segments_[first].top;
    if (added > kResyncReach) {
        // A wide edit (a format change of the whole paragraph, many replacements) lays
        // out nothing now: what is shown is laid out when drawn (an island when it lies
        // far on), the rest when there is time.
        EstimateFrom(first, delta);
        return;
    }
    // Segments wholly after the change keep their lines if the new lines end where one
    // of them starts.
    std::vector<Segment> after;
    for (std::size_t i = first + 1; i < segments_.size(); ++i) {
        if (segments_[i].start >= changeEnd) {
            segments_[i].start += delta;
            after.push_back(std::move(segments_[i]));
        }
    }
    segments_.resize(first);

    std::size_t next = 0;
    const int reach = from + added + kResyncReach;
    int position = restart;
    while (position < TextLength()) {
        while (next < after.size() && after[next].start < position)
            ++next;
        if (next < after.size() && after[next].start == position) {
            for (; next < after.size(); ++next)
                segments_.push_back(std::move(after[next]));
            break;
        }
        if (position >= reach)
            break;
        segments_.push_back(LayOutSegment(block, position, next < after.size() ? after[next].start : -1));
        position = segments_.back().End();
    }
    if (segments_.empty())
        segments_.push_back(LayOutSegment(block, 0, -1));
    PlaceFrom(first);
    DropOldLayouts();
}

void TLongParagraph::EstimateFrom(std::size_t first, int delta)
{
    // The text from the segment's start on becomes a gap, estimated from the lines it
    // had before the edit; those of a paragraph laid out from its start anew are
    // estimated likewise until some are laid out.
    const Segment& from = segments_[first];
    const double oldLength = std::max(1, TextLength() - delta - from.start);
    const double scale = (TextLength() - from.start) / oldLength;
    const int oldLines = std::max(1, Lines() - from.firstLine);
    const qint64 oldHeight = std::max<qint64>(1, Height() - from.top);
    const bool wasExact = GapIndex() == segments_.size() && Frontier() >= TextLength() - delta;
    if (first == 0 && wasExact) {
        defaultCharsPerLine_ = std::max(1.0, oldLength / oldLines);
        defaultLineHeight_ = static_cast<double>(oldHeight) / oldLines;
    }
    Segment skipped;
    skipped.gap = true;
    skipped.start = from.start;
    skipped.length = TextLength() - from.start;
    skipped.lines = std::max(1, static_cast<int>(std::lround(oldLines * scale)));
    skipped.height = std::max<qint64>(1, static_cast<qint64>(oldHeight * scale));
    segments_.resize(first);
    segments_.push_back(skipped);
    PlaceFrom(first);
    DropOldLayouts();
}

std::size_t TLongParagraph::SegmentAtOffset(int offset) const
{
    const auto it = std::upper_bound(segments_.begin(), segments_.end(), offset,
                                     [](int value, const Segment& segment) { return value < segment.start; });
    return it == segments_.begin() ? 0 : static_cast<std::size_t>(it - segments_.begin() - 1);
}

std::size_t TLongParagraph::SegmentAtLine(int line) const
{
    const auto it = std::upper_bound(segments_.begin(), segments_.end(), line,
                                     [](int value, const Segment& segment) { return value < segment.firstLine; });
    return it == segments_.begin() ? 0 : static_cast<std::size_t>(it - segments_.begin() - 1);
}

std::size_t TLongParagraph::SegmentAtY(qint64 y) const
{
    const auto it = std::upper_bound(segments_.begin(), segments_.end(), y,
                                     [](qint64 value, const Segment& segment) { return value < segment.top; });
    return it == segments_.begin() ? 0 : static_cast<std::size_t>(it - segments_.begin() - 1);
}

TLongParagraph::Line TLongParagraph::LineIn(const QTextBlock& block, std::size_t segment, int lineInSegment)
{
    const QTextLayout& layout = LayoutOf(block, segment);
    const Segment& s = segments_[segment];
    lineInSegment = std::clamp(lineInSegment, 0, std::max(0, layout.lineCount() - 1));
    Line result;
    result.number = s.firstLine + lineInSegment;
    result.start = InBlock(s.start);
    result.end = InBlock(s.End());
    if (layout.lineCount() == 0)
        return result;
    const QTextLine line = layout.lineAt(lineInSegment);
    result.start = InBlock(s.start + line.textStart());
    result.end = InBlock(std::min(s.End(), s.start + line.textStart() + line.textLength()));
    result.last = lineInSegment + 1 == layout.lineCount() && segment + 1 == segments_.size() && Exact();
    return result;
}

TLongParagraph::Line TLongParagraph::LineOf(const QTextBlock& block, int offset)
{
    Settle(block);
    offset = Laid(std::clamp(offset, 0, Length()), false);
    Reach(block, offset);
    const std::size_t segment = SegmentAtOffset(offset);
    const QTextLayout& layout = LayoutOf(block, segment);
    const QTextLine line = layout.lineForTextPosition(offset - segments_[segment].start);
    return LineIn(block, segment, line.isValid() ? line.lineNumber() : layout.lineCount() - 1);
}

TLongParagraph::Line TLongParagraph::LineAt(const QTextBlock& block, int number)
{
    Settle(block);
    ReachLine(block, number);
    const std::size_t segment = SegmentAtLine(number);
    return LineIn(block, segment, number - segments_[segment].firstLine);
}

int TLongParagraph::PendingBefore(int offset) const
{
    return std::max(0, Laid(std::clamp(offset, 0, Length()), false) + 1 - ExactEnd());
}

TLongParagraph::Line TLongParagraph::EstimatedLineOf(const QTextBlock& block, int offset)
{
    const int laid = Laid(std::clamp(offset, 0, Length()), false);
    const std::size_t gap = GapIndex();
    const bool inGap = gap < segments_.size() && laid >= segments_[gap].start && laid < segments_[gap].End();
    if (PendingBefore(offset) == 0 || Exact() || (laid < Frontier() && !inGap))
        return LineOf(block, offset);
    // From the start of the gap, or from the end of what is laid out.
    const int from = inGap ? segments_[gap].start : Frontier();
    const int laidOutLines = inGap ? segments_[gap].firstLine : segments_.back().firstLine + segments_.back().lines;
    const double charsPerLine = inGap ? std::max(1.0, static_cast<double>(segments_[gap].length) / segments_[gap].lines)
                                      : CharsPerLine();
    const int linesPast = static_cast<int>((laid - from) / charsPerLine);
    Line line;
    line.number = std::min(laidOutLines + linesPast, Lines() - 1);
    const int start = from + static_cast<int>((line.number - laidOutLines) * charsPerLine);
    line.start = InBlock(std::min(start, laid));
    line.end = InBlock(std::min(TextLength(), start + static_cast<int>(charsPerLine)));
    return line;
}

std::size_t TLongParagraph::SegmentCoveringY(const QTextBlock& block, qreal y)
{
    Settle(block);
    const qint64 units = FixedUnitsBelow(y);
    ReachY(block, units);
    std::size_t segment = SegmentAtY(units);
    if (segments_[segment].gap && segment + 1 == segments_.size()) {
        // Past the lines of a gap with nothing after it: the paragraph's end.
        Reach(block, TextLength() - 1);
        segment = SegmentAtY(units);
    }
    return segments_[segment].gap ? std::min(segment + 1, segments_.size() - 1) : segment;
}

QRectF TLongParagraph::CaretRect(const QTextBlock& block, int offset, int width, qreal* ascent)
{
    Settle(block);
    offset = LaidCaret(std::clamp(offset, 0, Length()));
    Reach(block, offset);
    const std::size_t segment = SegmentAtOffset(offset);
    const QTextLayout& layout = LayoutOf(block, segment);
    const Segment& s = segments_[segment];
    const QTextLine line = layout.lineForTextPosition(offset - s.start);
    if (ascent)
        *ascent = line.isValid() ? line.ascent() : 0;
    if (!line.isValid())
        return QRectF(0, Pixels(s.top), width, Pixels(s.height));
    return QRectF(line.cursorToX(offset - s.start), Pixels(s.top) + line.y(), width, line.height());
}

int TLongParagraph::HitTest(const QTextBlock& block, const QPointF& point, Qt::HitTestAccuracy accuracy, bool* exact,
                            int* inComposition)
{
    const std::size_t segment = SegmentCoveringY(block, point.y());
    const QTextLayout& layout = LayoutOf(block, segment);
    const Segment& s = segments_[segment];
    const QPointF inSegment(point.x(), point.y() - Pixels(s.top));
    int offset = HitLines(layout, 0, layout.lineCount(), inSegment, accuracy, exact);
    // Right of a line that is not the paragraph's last, the caret goes before the space
    // the line broke at; a segment's last line is its layout's last, where Qt does not.
    const bool lastOfParagraph = segment + 1 == segments_.size() && Exact();
    if (!lastOfParagraph && offset == s.length && layout.lineCount() > 0) {
        const QRectF last = layout.lineAt(layout.lineCount() - 1).naturalTextRect();
        if (inSegment.y() >= last.top() && inSegment.y() < last.bottom())
            offset = layout.previousCursorPosition(offset);
    }
    const int laid = s.start + offset;
    if (inComposition) {
        const int length = static_cast<int>(preedit_.size());
        *inComposition = preeditAt_ >= 0 && laid >= preeditAt_ && laid <= preeditAt_ + length ? laid - preeditAt_ : -1;
    }
    return InBlock(laid);
}

void TLongParagraph::Draw(QPainter* painter, const QTextBlock& block, const QPointF& origin, const QRectF& clip,
                          const QAbstractTextDocumentLayout::PaintContext& context, const QRectF& page,
                          int caretOffset, int cursorWidth)
{
    Settle(block);
    if (caretOffset >= 0)
        caretOffset = LaidCaret(caretOffset);
    const qint64 bottom = FixedUnitsAbove(clip.bottom() - origin.y());
    const qint64 top = FixedUnitsBelow(clip.top() - origin.y());
    ReachY(block, std::max<qint64>(0, top));
    ReachY(block, bottom);
    const QPen pen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    for (std::size_t i = SegmentAtY(std::max<qint64>(0, top)); i < segments_.size() && segments_[i].top <= bottom; ++i) {
        if (segments_[i].gap)
            continue;
        QTextLayout& layout = LayoutOf(block, i);
        const Segment& segment = segments_[i];
        const QPointF at = origin + QPointF(0, Pixels(segment.top));
        // The paragraph break is selected after the last line, and the caret can stand
        // after it.
        const bool last = i + 1 == segments_.size() && Exact();
        DrawnSelections selections = SelectionsIn(block, context, segment.start, segment.End() + (last ? 1 : 0),
                                                  [this](int offset, bool after) { return Laid(offset, after); });
        for (QTextLayout::FormatRange& range : selections.ranges) {
            // The segment's last line is its layout's last, whose paragraph break Qt
            // selects with it: a range running past it is cut there in the paragraph's
            // last segment, and otherwise made to run past it, so that the line is
            // highlighted whole as the paragraph's own layout highlights it (with a
            // quarter-line mark for the break, the one difference).
            if (last)
                range.length = std::min(range.length, segment.length + 1 - range.start);
            else if (range.start + range.length >= segment.length)
                range.length = std::max(range.length, segment.length + 1 - range.start);
        }
        if (i == 0)
            DrawListMarker(painter, block, layout, origin, context.palette, selections.marker);
        // The layout holds text past the segment's end that no line shows.
        layout.draw(painter, at, selections.ranges, clip & page);
        const bool caretHere = caretOffset >= segment.start
            && (caretOffset < segment.End() || (last && caretOffset == segment.End()));
        if (caretHere)
            layout.drawCursor(painter, at, caretOffset - segment.start, cursorWidth);
    }
    painter->setPen(pen);
}
