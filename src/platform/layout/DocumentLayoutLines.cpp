// The document layout's displayed lines: which line a position is on and where a line
// starts, exact (laying out what they need) or estimated (laying out at most a frame's
// worth).
#include "platform/layout/DocumentLayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace {

// Text laid out at once to answer a line exactly rather than estimate it: a few
// milliseconds.
constexpr int kExactReach = 16 * 1024;

} // namespace

int TDocumentLayout::LineFromPosition(int position)
{
    EnsureInStep();
    const int length = document_->characterCount() - 1;
    position = std::clamp(position, 0, length);
    const QTextBlock block = document_->findBlock(position);
    const int i = block.blockNumber();
    MeasureBefore(i);
    if (TLongParagraph::IsLong(block)) {
        const int inBlock = Segments(i, block).LineOf(block, position - block.position()).number;
        StoreSegments(i);
        return index_.FirstLine(i) + inBlock;
    }
    EnsureOwnLayout(i, block);
    int line = index_.FirstLine(i);
    const QTextLayout* layout = block.layout();
    if (layout->lineCount() > 0) {
        const QTextLine inBlock = layout->lineForTextPosition(position - block.position());
        line += inBlock.isValid() ? inBlock.lineNumber() : layout->lineCount() - 1;
    }
    return line;
}

int TDocumentLayout::LineStart(int line)
{
    EnsureInStep();
    if (line < 0)
        return -1;
    const int count = static_cast<int>(paragraphs_.size());
    for (;;) {
        const int i = index_.IndexAtLine(line);
        // The paragraphs before the one holding the line must be exact for the answer
        // to be; the one holding it only as far as the line.
        if (NextEstimated() < std::min(i, count)) {
            MeasureBefore(std::min(i, count));
            continue;
        }
        if (i >= count)
            return -1;
        const QTextBlock block = document_->findBlockByNumber(i);
        const int inBlock = line - index_.FirstLine(i);
        if (TLongParagraph::IsLong(block)) {
            const TLongParagraph::Line found = Segments(i, block).LineAt(block, inBlock);
            StoreSegments(i);
            if (found.number == inBlock)
                return block.position() + found.start;
        } else {
            EnsureOwnLayout(i, block);
            const QTextLayout* layout = block.layout();
            if (inBlock < layout->lineCount())
                return block.position() + layout->lineAt(inBlock).textStart();
        }
        // Laid out, the paragraph has fewer lines than estimated: the line lies further on.
        if (index_.IndexAtLine(line) == i)
            return inBlock == 0 ? block.position() : -1;
    }
}

TDocumentLayout::LinePlace TDocumentLayout::EstimatedLine(int position)
{
    EnsureInStep();
    position = std::clamp(position, 0, document_->characterCount() - 1);
    const QTextBlock block = document_->findBlock(position);
    const int i = block.blockNumber();
    const int offset = position - block.position();
    const int firstEstimated = NextEstimated();
    // The text that exact line numbers would lay out first.
    int pending = 0;
    if (firstEstimated < i)
        pending = block.position() - document_->findBlockByNumber(firstEstimated).position();
    TLongParagraph* segments = TLongParagraph::IsLong(block) ? &Segments(i, block) : nullptr;
    if (segments)
        pending += segments->PendingBefore(offset);
    if (pending <= kExactReach) {
        LinePlace place;
        place.line = LineFromPosition(position);
        place.start = LineStart(place.line);
        place.exact = true;
        return place;
    }
    LinePlace place;
    if (segments) {
        const TLongParagraph::Line line = segments->EstimatedLineOf(block, offset);
        place.line = index_.FirstLine(i) + line.number;
        place.start = block.position() + line.start;
        return place;
    }
    // One paragraph is soon laid out; those before it keep their estimates.
    EnsureOwnLayout(i, block);
    place.line = index_.FirstLine(i);
    place.start = block.position();
    const QTextLayout* layout = block.layout();
    if (layout->lineCount() > 0) {
        QTextLine line = layout->lineForTextPosition(offset);
        if (!line.isValid())
            line = layout->lineAt(layout->lineCount() - 1);
        place.line += line.lineNumber();
        place.start += line.textStart();
    }
    return place;
}
