#include "platform/layout/DocumentLayout.h"

#include "platform/QtInternals.h"
#include "platform/layout/BigCopies.h"
#include "platform/layout/TextImageHandler.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

// Edits that touch up to this many paragraphs lay them out at once; larger spans
// compare each paragraph with what it was laid out from.
constexpr int kSmallSpan = 32;
constexpr qreal kHuge = 1e9;

} // namespace

TDocumentLayout::TDocumentLayout(QTextDocument* document)
    : QAbstractTextDocumentLayout(document), document_(document)
{
    environment_ = CurrentEnvironment();
    idle_.setSingleShot(true);
    idle_.setInterval(0);
    connect(&idle_, &QTimer::timeout, this, [this]() { IdleSlice(); });
    registerHandler(QTextFormat::ImageObject, new TTextImageHandler(this));
    ResetAll();
}

LayoutEnvironment TDocumentLayout::CurrentEnvironment() const
{
    LayoutEnvironment environment;
    environment.pageWidth = document_->pageSize().width();
    environment.indentWidth = document_->indentWidth();
    environment.defaultFont = document_->defaultFont();
    environment.defaultOption = document_->defaultTextOption();
    return environment;
}

void TDocumentLayout::ResetAll()
{
    const FontEstimate estimate = EstimateFromFont(environment_.defaultFont);
    fontLineHeight_ = estimate.lineHeight;
    fontCharWidth_ = estimate.charWidth;
    const int count = document_->blockCount();
    // Every paragraph starts as exact so that SetEstimate counts it once.
    Paragraph fresh;
    fresh.exact = true;
    paragraphs_.assign(static_cast<std::size_t>(count), fresh);
    longParagraphs_ = 0;
    index_.Replace(0, index_.Count(), count);
    estimated_ = 0;
    firstEstimated_ = 0;
    widest_ = 0;
    lengthSeen_ = document_->characterCount();
    int i = 0;
    for (QTextBlock block = document_->begin(); block.isValid() && i < count; block = block.next(), ++i)
        SetEstimate(i, block);
    ScheduleIdle();
}

void TDocumentLayout::Store(int index, const QTextBlock& block, const ParagraphMetrics& metrics)
{
    Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(index)];
    if (!paragraph.exact) {
        paragraph.exact = true;
        --estimated_;
    }
    paragraph.key = KeyOf(block);
    index_.Set(index, metrics.height, metrics.lines);
    widest_ = std::max(widest_, metrics.width);
    measuredWidth_ += metrics.textWidth;
    measuredChars_ += std::max(0, block.length() - 1);
    measuredHeight_ += static_cast<double>(metrics.height);
    measuredLines_ += metrics.lines;
}

bool TDocumentLayout::Measure(int index, const QTextBlock& block, qint64 budgetNs)
{
    if (TLongParagraph::IsLong(block)) {
        const bool done = Segments(index, block).Extend(block, budgetNs);
        StoreSegments(index);
        return done;
    }
    QTextLayout layout(block);
    Store(index, block, LayOutParagraph(layout, block, environment_));
    return true;
}

TLongParagraph& TDocumentLayout::Segments(int index, const QTextBlock& block)
{
    Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(index)];
    if (!paragraph.segments) {
        paragraph.segments = std::make_shared<TLongParagraph>(block, environment_);
        StoreSegments(index);
    }
    return *paragraph.segments;
}

void TDocumentLayout::StoreSegments(int index)
{
    Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(index)];
    const TLongParagraph& segments = *paragraph.segments;
    const bool exact = segments.Exact();
    if (exact != paragraph.exact) {
        paragraph.exact = exact;
        estimated_ += exact ? -1 : 1;
    }
    if (!exact)
        firstEstimated_ = std::min(firstEstimated_, index);
    // Never the same as a key taken from the block, so that an edit block spanning it
    // lays it out again.
    paragraph.key = Key();
    paragraph.ownLayout = false;
    const qint64 before = index_.Height(index);
    const int linesBefore = index_.Lines(index);
    index_.Set(index, segments.Height(), segments.Lines());
    widest_ = std::max(widest_, segments.Width());
    if (index_.Height(index) != before || index_.Lines(index) != linesBefore)
        NotifySizeChangedLater();
}

void TDocumentLayout::EnsureOwnLayout(int index, const QTextBlock& block)
{
    if (TLongParagraph::IsLong(block)) {
        Segments(index, block);
        return;
    }
    Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(index)];
    // The document drops a block's lines itself when a neighbouring edit touches it.
    if (paragraph.ownLayout && block.layout()->lineCount() > 0)
        return;
    const qint64 before = index_.Height(index);
    const bool wasExact = paragraph.exact;
    Store(index, block, LayOutParagraph(*block.layout(), block, environment_));
    paragraphs_[static_cast<std::size_t>(index)].ownLayout = true;
    if (!wasExact || index_.Height(index) != before)
        NotifySizeChangedLater();
}

void TDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    preparedLayout_ = nullptr;
    if (const std::shared_ptr<TLongParagraph> holder = preeditHolder_.lock()) {
        holder->DropPreedit();
        Q_EMIT update();
    }
    preeditHolder_.reset();
    AwaitPaint();
    const int blocks = document_->blockCount();
    const int length = document_->characterCount();
    const int oldBlocks = static_cast<int>(paragraphs_.size());
    const LayoutEnvironment environment = CurrentEnvironment();
    if (environment != environment_) {
        environment_ = environment;
        ResetAll();
        NotifySizeChanged();
        Q_EMIT update();
        return;
    }
    // The document asks for a layout of everything when something every paragraph
    // depends on may have changed (page size, default font, ...). Nothing did.
    if (from == 0 && charsRemoved == 0 && charsAdded == length && length == lengthSeen_ && blocks == oldBlocks)
        return;
    lengthSeen_ = length;

    auto blockNumberAt = [&](int position) {
        const QTextBlock block = document_->findBlock(position);
        return block.isValid() ? block.blockNumber() : blocks - 1;
    };
    const int first = blockNumberAt(from);
    const int lastNew = blockNumberAt(from + charsAdded);
    const int lastOld = lastNew - (blocks - oldBlocks);
    if (first < 0 || lastOld < first - 1 || lastOld >= oldBlocks) {
        ResetAll();
        NotifySizeChanged();
        Q_EMIT update();
        return;
    }
    const int newCount = lastNew - first + 1;
    const int oldCount = lastOld - first + 1;
    const qreal top = Pixels(index_.Top(first));
    // Typing in a long paragraph, or a format applied to it, lays out again the
    // segments the edit touched, near it now and the rest when there is time.
    if (oldCount == newCount && newCount <= kSmallSpan && EditSegments(first, newCount, from, charsAdded)) {
        NotifySizeChanged();
        Q_EMIT update(QRectF(0, Pixels(changedFrom_), kHuge, kHuge));
        ScheduleIdle();
        return;
    }
    if (newCount <= kSmallSpan) {
        // A few paragraphs, typically the one being typed in: lay them out now, and
        // repaint only them when their height stayed the same.
        const qint64 heightBefore = index_.Top(first + oldCount) - index_.Top(first);
        // A long paragraph split in two keeps the segments before the split.
        std::shared_ptr<TLongParagraph> kept;
        if (oldCount == 1 && newCount > 1 && paragraphs_[static_cast<std::size_t>(first)].segments) {
            const QTextBlock split = document_->findBlockByNumber(first);
            if (TLongParagraph::IsLong(split)) {
                kept = paragraphs_[static_cast<std::size_t>(first)].segments;
                const int offset = from - split.position();
                kept->Edit(split, offset, kept->Length() - offset, split.length() - 1 - offset);
            }
        }
        QTextBlock block = ReplaceParagraphs(first, oldCount, newCount);
        if (kept) {
            paragraphs_[static_cast<std::size_t>(first)].segments = kept;
            StoreSegments(first);
        }
        for (int i = first; i < first + newCount && block.isValid(); ++i, block = block.next())
            EnsureOwnLayout(i, block);
        const qint64 heightAfter = index_.Top(first + newCount) - index_.Top(first);
        NotifySizeChanged();
        if (heightBefore == heightAfter && oldCount == newCount)
            Q_EMIT update(QRectF(0, top, kHuge, Pixels(heightAfter) + 1));
        else
            Q_EMIT update(QRectF(0, top, kHuge, kHuge));
    } else {
        CompareKeys(first, oldCount, newCount, charsRemoved == charsAdded);
        NotifySizeChanged();
        Q_EMIT update(QRectF(0, top, kHuge, kHuge));
    }
    ScheduleIdle();
}

bool TDocumentLayout::EditSegments(int first, int count, int from, int added)
{
    const auto begin = paragraphs_.begin() + first;
    if (std::none_of(begin, begin + count, [](const Paragraph& p) { return p.segments != nullptr; }))
        return false;
    // The span holds as many paragraphs as before, so each paragraph's change of length
    // is the change of the part of the edited range that lies in it.
    const int to = from + added;
    changedFrom_ = -1;
    QTextBlock block = document_->findBlockByNumber(first);
    for (int i = first; i < first + count && block.isValid(); ++i, block = block.next()) {
        Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(i)];
        const int start = block.position();
        const int end = start + block.length() - 1;
        const int addedHere = std::min(to, end) - std::max(from, start);
        const int removedHere = paragraph.segments ? addedHere - (end - start - paragraph.segments->Length()) : -1;
        const qint64 top = index_.Top(i);
        if (paragraph.segments && addedHere >= 0 && removedHere >= 0 && TLongParagraph::IsLong(block)) {
            paragraph.segments->Edit(block, std::max(from, start) - start, removedHere, addedHere);
            StoreSegments(i);
            if (changedFrom_ < 0)
                changedFrom_ = top + paragraph.segments->ChangedFrom();
            continue;
        }
        SetEstimate(i, block);
        EnsureOwnLayout(i, block);
        if (changedFrom_ < 0)
            changedFrom_ = top;
    }
    return true;
}

void TDocumentLayout::ReserveParagraphs(int paragraphs)
{
    paragraphs_.reserve(static_cast<std::size_t>(std::max(paragraphs, 0)));
    index_.Reserve(paragraphs);
}

QSizeF TDocumentLayout::documentSize() const
{
    const qreal width = environment_.pageWidth >= 0 ? std::max(environment_.pageWidth, widest_) : widest_;
    return QSizeF(width, Pixels(index_.TotalHeight()));
}

QRectF TDocumentLayout::frameBoundingRect(QTextFrame* frame) const
{
    if (!frame || frame == document_->rootFrame())
        return QRectF(QPointF(0, 0), documentSize());
    const int first = document_->findBlock(frame->firstPosition()).blockNumber();
    const int last = document_->findBlock(frame->lastPosition()).blockNumber();
    if (first < 0 || last < first)
        return QRectF();
    const qreal top = Pixels(index_.Top(first));
    return QRectF(0, top, documentSize().width(), Pixels(index_.Top(last + 1)) - top);
}

QRectF TDocumentLayout::blockBoundingRect(const QTextBlock& block) const
{
    if (!block.isValid() || block.document() != document_)
        return QRectF();
    auto* self = const_cast<TDocumentLayout*>(this);
    self->EnsureInStep();
    const int i = block.blockNumber();
    if (i < 0 || i >= static_cast<int>(paragraphs_.size()))
        return QRectF();
    self->EnsureOwnLayout(i, block);
    const std::shared_ptr<TLongParagraph>& segments = paragraphs_[static_cast<std::size_t>(i)].segments;
    // Qt's caret code asks the block's own layout for the caret's line right after
    // this; that layout stays empty in a paragraph laid out in segments.
    if (segments) {
        QTextLayout* layout = block.layout();
        // Readying it makes Qt copy the paragraph's text into it, which every edit drops:
        // the first call after an edit hands that copy to a heap of its own; later calls
        // find it made, unless Qt dropped it otherwise, and then make it here.
        if (layout != preparedLayout_) {
            TBigCopy::Make(TBigCopy::Kind::QtLayout, [layout]() { QtInternals::PrepareEmptyLayout(layout); });
            self->preparedLayout_ = layout;
        } else {
            const TBigCopy copy;
            QtInternals::PrepareEmptyLayout(layout);
        }
    }
    const qreal width = segments ? segments->Width() : block.layout()->boundingRect().width();
    return QRectF(0, Pixels(index_.Top(i)), width, Pixels(index_.Height(i)));
}

int TDocumentLayout::BlockAtY(qreal y)
{
    EnsureInStep();
    const int count = static_cast<int>(paragraphs_.size());
    int i = index_.IndexAtY(FixedUnitsBelow(y));
    if (i < 0)
        return 0;
    // The block is laid out first, so that a place inside it stays put when it is.
    QTextBlock block = document_->findBlockByNumber(i);
    EnsureOwnLayout(i, block);
    while (y >= Pixels(index_.Top(i + 1)) && i + 1 < count) {
        block = block.next();
        EnsureOwnLayout(++i, block);
    }
    return i;
}

qreal TDocumentLayout::BlockTop(int blockNumber) const
{
    return Pixels(index_.Top(std::clamp(blockNumber, 0, index_.Count())));
}

int TDocumentLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    return const_cast<TDocumentLayout*>(this)->HitAt(point, accuracy, nullptr);
}

int TDocumentLayout::HitAt(const QPointF& point, Qt::HitTestAccuracy accuracy, int* inComposition)
{
    if (inComposition)
        *inComposition = -1;
    EnsureInStep();
    const int count = static_cast<int>(paragraphs_.size());
    if (count == 0)
        return -1;
    const int lastPosition = document_->characterCount() - 1;
    if (point.y() < 0)
        return accuracy == Qt::ExactHit ? -1 : 0;
    const qint64 y = FixedUnitsBelow(point.y());
    int i = index_.IndexAtY(y);
    // A point on the line between two paragraphs belongs to the upper one.
    if (i > 0 && point.y() <= Pixels(index_.Top(i)))
        --i;
    QTextBlock block = document_->findBlockByNumber(i);
    EnsureOwnLayout(i, block);
    // Laying the block out may have made it shorter than its estimate.
    while (point.y() > Pixels(index_.Top(i + 1)) && i + 1 < count) {
        ++i;
        block = block.next();
        EnsureOwnLayout(i, block);
    }
    const QPointF inBlock(point.x(), point.y() - Pixels(index_.Top(i)));
    int position = block.position();
    bool exact = false;
    if (inBlock.y() > Pixels(index_.Height(i)))
        position += block.length();
    else
        position += HitInParagraph(i, block, inBlock, accuracy, &exact, inComposition);
    if (accuracy == Qt::ExactHit && !exact)
        return -1;
    const int limit = lastPosition + static_cast<int>(block.layout()->preeditAreaText().size());
    return std::clamp(position, 0, limit);
}

int TDocumentLayout::HitInParagraph(int index, const QTextBlock& block, const QPointF& point,
                                    Qt::HitTestAccuracy accuracy, bool* exact, int* inComposition)
{
    if (TLongParagraph::IsLong(block)) {
        const int offset = Segments(index, block).HitTest(block, point, accuracy, exact, inComposition);
        StoreSegments(index);
        return offset;
    }
    const QTextLayout* layout = block.layout();
    return HitLines(*layout, 0, layout->lineCount(), point, accuracy, exact);
}

bool TDocumentLayout::InLongParagraph(int position) const
{
    return TLongParagraph::IsLong(document_->findBlock(position));
}

void TDocumentLayout::SetLongParagraphPreedit(int position, const QString& text, int caret,
                                              const QList<QTextLayout::FormatRange>& formats)
{
    EnsureInStep();
    if (const std::shared_ptr<TLongParagraph> holder = preeditHolder_.lock()) {
        holder->DropPreedit();
        Q_EMIT update();
    }
    preeditHolder_.reset();
    const QTextBlock block = document_->findBlock(position);
    if (text.isEmpty() || !TLongParagraph::IsLong(block))
        return;
    const int i = block.blockNumber();
    TLongParagraph& segments = Segments(i, block);
    segments.SetPreedit(block, position - block.position(), text, caret, formats);
    preeditHolder_ = paragraphs_[static_cast<std::size_t>(i)].segments;
    StoreSegments(i);
    Q_EMIT update(QRectF(0, Pixels(index_.Top(i)) + Pixels(segments.ChangedFrom()), kHuge, kHuge));
}

int TDocumentLayout::CompositionOffsetAt(const QPointF& point)
{
    if (preeditHolder_.expired())
        return -1;
    int inComposition = -1;
    HitAt(point, Qt::FuzzyHit, &inComposition);
    return inComposition;
}

QRectF TDocumentLayout::CaretRect(int position, int width, qreal* ascent)
{
    EnsureInStep();
    position = std::clamp(position, 0, document_->characterCount() - 1);
    const QTextBlock block = document_->findBlock(position);
    const int i = block.blockNumber();
    const int offset = position - block.position();
    if (TLongParagraph::IsLong(block)) {
        const QRectF caret = Segments(i, block).CaretRect(block, offset, width, ascent);
        StoreSegments(i);
        return caret.translated(0, Pixels(index_.Top(i)));
    }
    EnsureOwnLayout(i, block);
    const QTextLine line = block.layout()->lineForTextPosition(offset);
    if (ascent)
        *ascent = line.isValid() ? line.ascent() : 0;
    if (!line.isValid())
        return QRectF(0, Pixels(index_.Top(i)), width, Pixels(index_.Height(i)));
    return QRectF(line.cursorToX(offset), Pixels(index_.Top(i)) + line.y(), width, line.height());
}

std::pair<int, int> TDocumentLayout::LineBounds(int position)
{
    EnsureInStep();
    position = std::clamp(position, 0, document_->characterCount() - 1);
    const QTextBlock block = document_->findBlock(position);
    const int i = block.blockNumber();
    int start = 0;
    int end = 0;
    bool last = true;
    if (TLongParagraph::IsLong(block)) {
        const TLongParagraph::Line line = Segments(i, block).LineOf(block, position - block.position());
        StoreSegments(i);
        start = line.start;
        end = line.end;
        last = line.last;
    } else {
        EnsureOwnLayout(i, block);
        const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
        if (line.isValid()) {
            start = line.textStart();
            end = line.textStart() + line.textLength();
            last = line.lineNumber() + 1 >= block.layout()->lineCount();
        }
    }
    start += block.position();
    end = std::min(end + block.position(), document_->characterCount() - 1);
    if (!last && end > start && document_->characterAt(end - 1).isSpace())
        --end;
    return {start, end};
}

void TDocumentLayout::draw(QPainter* painter, const PaintContext& context)
{
    EnsureInStep();
    const int count = static_cast<int>(paragraphs_.size());
    if (count == 0)
        return;
    const QRectF page(QPointF(0, 0), documentSize());
    const QRectF clip = context.clip.isValid() ? context.clip : page;
    const int cursorWidth = QtInternals::CursorWidth(this);
    int i = index_.IndexAtY(FixedUnitsBelow(clip.top()));
    for (QTextBlock block = document_->findBlockByNumber(i); block.isValid() && i < count; block = block.next(), ++i) {
        EnsureOwnLayout(i, block);
        const qreal top = Pixels(index_.Top(i));
        if (top > clip.bottom())
            break;
        const qreal height = Pixels(index_.Height(i));
        if (top + height < clip.top())
            continue;
        // The page is as wide as when drawing began: laying out paragraphs may widen
        // the document, which the view learns of after this paint.
        if (const std::shared_ptr<TLongParagraph> segments = paragraphs_[static_cast<std::size_t>(i)].segments) {
            const QRectF area(0, top, page.width(), height);
            const QBrush background = block.blockFormat().background();
            if (background != Qt::NoBrush)
                painter->fillRect(area, background);
            const int caret = block.contains(longCaret_) ? longCaret_ - block.position() : -1;
            segments->Draw(painter, block, area.topLeft(), clip, context, page, caret, cursorWidth);
            StoreSegments(i);
            continue;
        }
        DrawParagraph(painter, block, QRectF(0, top, page.width(), height), context, page, cursorWidth);
    }
    Painted();
}
