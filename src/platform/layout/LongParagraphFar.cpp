// A long paragraph reached far ahead of its lines: a jump to its end right after it is
// opened lays out an island of segments there and estimates the lines before it,
// instead of laying out the megabytes between.
#include "platform/layout/LongParagraph.h"

#include <QTextBlock>
#include <algorithm>
#include <cmath>

namespace {

// A place at most this far past the lines laid out is reached by laying out on to it
// (a few milliseconds); a place further on gets an island.
constexpr int kFarReach = 32 * 1024;
// An island starts this many characters before the place it is laid out for, so that
// its lines have fallen into the paragraph's own breaks by that place. A place in the
// gap a little before the island grows the island back to it.
constexpr int kIslandLead = 1024;

} // namespace

std::size_t TLongParagraph::GapIndex() const
{
    for (std::size_t i = segments_.size(); i-- > 0;)
        if (segments_[i].gap)
            return i;
    return segments_.size();
}

int TLongParagraph::ExactEnd() const
{
    const std::size_t gap = GapIndex();
    return gap < segments_.size() ? segments_[gap].start : Frontier();
}

double TLongParagraph::CharsPerLine() const
{
    const std::size_t gap = GapIndex();
    const std::size_t end = gap < segments_.size() ? gap : segments_.size();
    if (end == 0)
        return defaultCharsPerLine_;
    const Segment& last = segments_[end - 1];
    return std::max(1.0, static_cast<double>(last.End()) / std::max(1, last.firstLine + last.lines));
}

double TLongParagraph::LineHeight() const
{
    const std::size_t gap = GapIndex();
    const std::size_t end = gap < segments_.size() ? gap : segments_.size();
    if (end == 0)
        return defaultLineHeight_;
    const Segment& last = segments_[end - 1];
    return static_cast<double>(last.top + last.height) / std::max(1, last.firstLine + last.lines);
}

int TLongParagraph::IslandStartFor(int offset, int notBefore) const
{
    int start = std::max(notBefore, offset - kIslandLead);
    // After a space where there is one near, as a line would.
    for (int i = start; i > start - 256 && i > notBefore; --i) {
        if (text_.at(i - 1).isSpace())
            return i;
    }
    return start;
}

void TLongParagraph::Reach(const QTextBlock& block, int offset)
{
    const std::size_t gap = GapIndex();
    if (gap < segments_.size() && offset >= segments_[gap].start && offset < segments_[gap].End()) {
        if (offset - segments_[gap].start <= kFarReach) {
            while (GapIndex() < segments_.size() && ExactEnd() <= offset)
                FillGap(block);
            return;
        }
        if (gap + 1 < segments_.size() && segments_[gap].End() - offset <= kFarReach) {
            GrowIslandBack(block, offset);
            return;
        }
        segments_.resize(gap);
    } else if (offset < Frontier() || Frontier() >= TextLength()) {
        return;
    }
    if (offset - Frontier() <= kFarReach) {
        ExtendPast(block, offset);
        return;
    }
    // An island after a gap; one that was there gives way.
    const std::size_t oldGap = GapIndex();
    if (oldGap < segments_.size())
        segments_.resize(oldGap);
    Segment skipped;
    skipped.gap = true;
    skipped.start = Frontier();
    skipped.length = IslandStartFor(offset, skipped.start) - skipped.start;
    skipped.lines = std::max(1, static_cast<int>(std::lround(skipped.length / CharsPerLine())));
    skipped.height = static_cast<qint64>(skipped.lines * LineHeight());
    segments_.push_back(skipped);
    PlaceFrom(segments_.size() - 1);
    ExtendPast(block, offset);
}

void TLongParagraph::GrowIslandBack(const QTextBlock& block, int offset)
{
    // The end of the gap becomes a second gap, filled from its new start until its
    // lines meet the start of one of the island's segments. The first gap takes the
    // height and lines the filled part does not, so that the segment met stays where
    // it is shown.
    const std::size_t gap = GapIndex();
    const Segment before = segments_[gap];
    const std::vector<Segment> island(segments_.begin() + static_cast<std::ptrdiff_t>(gap) + 1, segments_.end());
    const int start = IslandStartFor(offset, before.start + 1);
    Segment bridge = before;
    bridge.start = start;
    bridge.length = before.End() - start;
    bridge.lines = std::max(1, static_cast<int>(std::lround(bridge.length / CharsPerLine())));
    bridge.height = static_cast<qint64>(bridge.lines * LineHeight());
    segments_[gap].length = start - before.start;
    segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(gap) + 1, bridge);
    while (GapIndex() != gap)
        FillGap(block);
    qint64 height = 0;
    int lines = 0;
    for (std::size_t i = gap + 1; i < segments_.size(); ++i) {
        const auto met = std::find_if(island.begin(), island.end(),
                                      [&](const Segment& old) { return old.start == segments_[i].start; });
        if (met != island.end()) {
            segments_[gap].height = std::max<qint64>(static_cast<qint64>(LineHeight()), met->top - before.top - height);
            segments_[gap].lines = std::max(1, met->firstLine - before.firstLine - lines);
            break;
        }
        height += segments_[i].height;
        lines += segments_[i].lines;
    }
    PlaceFrom(gap);
}

void TLongParagraph::ReachY(const QTextBlock& block, qint64 y)
{
    const std::size_t gap = GapIndex();
    if (gap < segments_.size() && y >= segments_[gap].top && y < segments_[gap].top + segments_[gap].height) {
        const Segment& skipped = segments_[gap];
        const double share = static_cast<double>(y - skipped.top) / std::max<qint64>(1, skipped.height);
        Reach(block, skipped.start + static_cast<int>(share * skipped.length));
        // A gap with no island after it (left by a wide edit) is filled on until the
        // lines reach y.
        for (std::size_t last = GapIndex(); last + 1 == segments_.size() && y >= segments_[last].top; last = GapIndex())
            FillGap(block);
        return;
    }
    const qint64 bottom = segments_.back().top + segments_.back().height;
    if (y < bottom || Frontier() >= TextLength())
        return;
    const double lines = (y - bottom) / std::max(1.0, LineHeight());
    Reach(block, std::min(TextLength() - 1, Frontier() + static_cast<int>(lines * CharsPerLine())));
    while (Frontier() < TextLength() && segments_.back().top + segments_.back().height <= y)
        ExtendPast(block, Frontier());
}

void TLongParagraph::ReachLine(const QTextBlock& block, int line)
{
    // A line's number is known only where the lines are laid out from the paragraph's
    // start: the gap before an island is filled up to it, and no island is made.
    for (;;) {
        const std::size_t gap = GapIndex();
        if (gap < segments_.size()) {
            if (line < segments_[gap].firstLine)
                return;
            FillGap(block);
        } else if (Frontier() < TextLength() && line >= segments_.back().firstLine + segments_.back().lines) {
            Append(LayOutSegment(block, Frontier(), -1));
        } else {
            return;
        }
    }
}

void TLongParagraph::FillGap(const QTextBlock& block)
{
    const std::size_t gap = GapIndex();
    const int islandStart = segments_[gap].End();
    Segment laid = LayOutSegment(block, segments_[gap].start, islandStart);
    const int end = laid.End();
    // The gap keeps its estimated height while it shrinks, so that the island stays
    // where it is shown until the lines meet.
    Segment rest = segments_[gap];
    rest.start = end;
    rest.length = islandStart - end;
    rest.lines = std::max(1, rest.lines - laid.lines);
    rest.height = std::max<qint64>(static_cast<qint64>(LineHeight()), rest.height - laid.height);
    if (end < islandStart) {
        segments_[gap] = rest;
        segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(gap), std::move(laid));
    } else {
        // The lines met the island's where one of its segments starts (its lines are
        // then the paragraph's own); those of its segments they ran past go.
        std::size_t next = gap + 1;
        while (next < segments_.size() && segments_[next].start < end)
            ++next;
        segments_.erase(segments_.begin() + static_cast<std::ptrdiff_t>(gap),
                        segments_.begin() + static_cast<std::ptrdiff_t>(next));
        std::size_t at = gap;
        segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(at++), std::move(laid));
        if (at < segments_.size() && segments_[at].start > end) {
            rest.length = segments_[at].start - end;
            rest.lines = std::max(1, static_cast<int>(std::lround(rest.length / CharsPerLine())));
            rest.height = static_cast<qint64>(rest.lines * LineHeight());
            segments_.insert(segments_.begin() + static_cast<std::ptrdiff_t>(at), rest);
        }
    }
    PlaceFrom(gap);
    DropOldLayouts();
}
