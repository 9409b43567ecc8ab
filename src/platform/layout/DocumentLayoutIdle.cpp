// The document layout's background work: estimated paragraphs laid out in idle slices
// of a few milliseconds, or at once before a place that needs them exact, and the
// document size reported to the view when it changed.
#include "platform/layout/DocumentLayout.h"

#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace {

// Longest stretch of layout work done in one idle slice.
constexpr qint64 kIdleSliceNs = 8'000'000;
// How long background slices wait after an edit for the paint that shows it (an edit
// out of view is never painted), and after that paint.
constexpr qint64 kPaintWaitMs = 32;
constexpr qint64 kAfterPaintMs = 4;
constexpr qreal kHuge = 1e9;

} // namespace

void TDocumentLayout::EnsureInStep()
{
    // The document tells its listeners of an edit before it tells its layout; a query
    // in between must not read past the paragraphs known.
    if (static_cast<int>(paragraphs_.size()) != document_->blockCount())
        ResetAll();
}

int TDocumentLayout::NextEstimated()
{
    if (estimated_ == 0)
        return static_cast<int>(paragraphs_.size());
    const auto begin = paragraphs_.begin();
    const auto it = std::find_if(begin + firstEstimated_, paragraphs_.end(), [](const Paragraph& p) { return !p.exact; });
    firstEstimated_ = static_cast<int>(it - begin);
    return firstEstimated_;
}

void TDocumentLayout::MeasureBefore(int end)
{
    int i = NextEstimated();
    if (i >= end)
        return;
    if (BeforeHeightsSettle)
        BeforeHeightsSettle();
    for (QTextBlock block = document_->findBlockByNumber(i); block.isValid() && i < end; block = block.next(), ++i)
        if (!paragraphs_[static_cast<std::size_t>(i)].exact)
            Measure(i, block);
    firstEstimated_ = std::max(firstEstimated_, i);
    NotifySizeChanged();
    if (AfterHeightsSettle)
        AfterHeightsSettle();
}

void TDocumentLayout::FinishLayout()
{
    MeasureBefore(static_cast<int>(paragraphs_.size()));
}

void TDocumentLayout::IdleSlice()
{
    const qint64 held = backgroundHeldUntil_.remainingTime();
    if (held > 0 || paintedSinceSlice_) {
        // A timer started here fires in a later turn of the event loop than this one,
        // whatever the clock says.
        paintedSinceSlice_ = false;
        idle_.start(static_cast<int>(std::max<qint64>(held, 1)));
        return;
    }
    editUnpainted_ = false;
    int i = NextEstimated();
    const int count = static_cast<int>(paragraphs_.size());
    if (i >= count)
        return;
    if (BeforeHeightsSettle)
        BeforeHeightsSettle();
    QElapsedTimer timer;
    timer.start();
    qint64 firstChanged = -1;
    for (QTextBlock block = document_->findBlockByNumber(i); block.isValid() && i < count; block = block.next(), ++i) {
        if (timer.nsecsElapsed() > kIdleSliceNs)
            break;
        if (paragraphs_[static_cast<std::size_t>(i)].exact)
            continue;
        const qint64 before = index_.Height(i);
        const bool done = Measure(i, block, std::max<qint64>(0, kIdleSliceNs - timer.nsecsElapsed()));
        if (firstChanged < 0 && index_.Height(i) != before)
            firstChanged = index_.Top(i);
        if (!done)
            break;
    }
    firstEstimated_ = std::max(firstEstimated_, i);
    NotifySizeChanged();
    if (firstChanged >= 0)
        Q_EMIT update(QRectF(0, Pixels(firstChanged), kHuge, kHuge));
    if (AfterHeightsSettle)
        AfterHeightsSettle();
    if (estimated_ > 0)
        ScheduleIdle();
    Q_EMIT LinesLaidOut();
}

void TDocumentLayout::ScheduleIdle()
{
    if (estimated_ > 0 && !backgroundHeld_ && !idle_.isActive())
        idle_.start(0);
}

void TDocumentLayout::AwaitPaint()
{
    // Edits that keep coming unpainted (out of view) hold the slices back at most
    // kPaintWaitMs at a time.
    if (!editUnpainted_ || backgroundHeldUntil_.hasExpired())
        backgroundHeldUntil_.setRemainingTime(kPaintWaitMs);
    editUnpainted_ = true;
}

void TDocumentLayout::Painted()
{
    // The slices wait a little more, so that they run on a later turn of the event loop
    // than the paint, after what came in meanwhile.
    if (editUnpainted_) {
        backgroundHeldUntil_.setRemainingTime(kAfterPaintMs);
        paintedSinceSlice_ = true;
    }
    editUnpainted_ = false;
}

void TDocumentLayout::HoldBackgroundLayout(bool hold)
{
    backgroundHeld_ = hold;
    if (hold)
        idle_.stop();
    else
        ScheduleIdle();
}

void TDocumentLayout::NotifySizeChanged()
{
    sizeNotificationPending_ = false;
    const QSizeF size = documentSize();
    if (size == reportedSize_)
        return;
    reportedSize_ = size;
    Q_EMIT documentSizeChanged(size);
}

void TDocumentLayout::NotifySizeChangedLater()
{
    // Called while drawing or answering a query: the view adjusts its scroll bars once
    // it is back in the event loop.
    if (sizeNotificationPending_)
        return;
    sizeNotificationPending_ = true;
    QMetaObject::invokeMethod(this, [this]() { if (sizeNotificationPending_) NotifySizeChanged(); }, Qt::QueuedConnection);
}
