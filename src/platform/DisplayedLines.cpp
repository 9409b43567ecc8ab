#include "platform/DisplayedLines.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

DisplayedLines::DisplayedLines(QTextDocument* document)
    : QObject(document), document_(document)
{
    connect(document, &QTextDocument::contentsChange, this, [this](int position, int, int) {
        Invalidate(document_->findBlock(position).blockNumber());
    });
}

void DisplayedLines::Invalidate(int fromBlock)
{
    valid_ = std::max(0, std::min(valid_, fromBlock));
}

void DisplayedLines::CheckLayoutUnchanged()
{
    const qreal width = document_->textWidth();
    if (width != textWidth_ || document_->defaultFont() != font_) {
        textWidth_ = width;
        font_ = document_->defaultFont();
        valid_ = 0;
    }
}

int DisplayedLines::LinesOf(const QTextBlock& block)
{
    const QTextLayout* layout = block.layout();
    return layout && layout->lineCount() > 0 ? layout->lineCount() : 1;
}

void DisplayedLines::ExtendTo(int blockNumber)
{
    if (blockNumber < valid_)
        return;
    const QTextBlock target = document_->findBlockByNumber(blockNumber);
    // Lays the document out up to the target, so wrapped line counts are known.
    document_->documentLayout()->blockBoundingRect(target);
    firstLine_.resize(static_cast<std::size_t>(document_->blockCount()));
    QTextBlock block = document_->findBlockByNumber(valid_ > 0 ? valid_ - 1 : 0);
    int line = 0;
    if (valid_ > 0) {
        line = firstLine_[static_cast<std::size_t>(valid_ - 1)] + LinesOf(block);
        block = block.next();
    }
    for (; block.isValid() && block.blockNumber() <= blockNumber; block = block.next()) {
        firstLine_[static_cast<std::size_t>(block.blockNumber())] = line;
        line += LinesOf(block);
    }
    valid_ = blockNumber + 1;
}

int DisplayedLines::LineFromPosition(int position)
{
    CheckLayoutUnchanged();
    const int length = document_->characterCount() - 1;
    const QTextBlock block = document_->findBlock(std::clamp(position, 0, length));
    ExtendTo(block.blockNumber());
    int line = firstLine_[static_cast<std::size_t>(block.blockNumber())];
    const QTextLayout* layout = block.layout();
    if (layout && layout->lineCount() > 0) {
        const QTextLine inBlock = layout->lineForTextPosition(std::clamp(position, 0, length) - block.position());
        line += inBlock.isValid() ? inBlock.lineNumber() : layout->lineCount() - 1;
    }
    return line;
}

void DisplayedLines::ExtendToLine(int line)
{
    const int blocks = document_->blockCount();
    // Grow in steps so that lines near the start do not lay out the whole document.
    int step = 256;
    while (valid_ < blocks) {
        const int last = valid_ - 1;
        if (last >= 0) {
            const QTextBlock block = document_->findBlockByNumber(last);
            if (firstLine_[static_cast<std::size_t>(last)] + LinesOf(block) > line)
                return;
        }
        ExtendTo(std::min(blocks - 1, valid_ + step));
        step *= 2;
    }
}

int DisplayedLines::LineStart(int line)
{
    if (line < 0)
        return -1;
    CheckLayoutUnchanged();
    ExtendToLine(line);
    const auto begin = firstLine_.begin();
    const auto end = begin + valid_;
    // The last cached block whose first line is at or before line.
    const auto it = std::upper_bound(begin, end, line);
    if (it == begin)
        return -1;
    const int blockNumber = static_cast<int>(it - begin) - 1;
    const QTextBlock block = document_->findBlockByNumber(blockNumber);
    const int inBlock = line - firstLine_[static_cast<std::size_t>(blockNumber)];
    if (inBlock >= LinesOf(block))
        return -1;
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return block.position();
    return block.position() + layout->lineAt(inBlock).textStart();
}
