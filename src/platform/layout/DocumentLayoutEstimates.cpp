// The document layout's estimates: what a paragraph not laid out yet is taken to measure,
// and which paragraphs an edit block left as they were laid out (compared by a key of
// their text and formats) and which it turned into estimates.
#include "platform/layout/DocumentLayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

TDocumentLayout::Key TDocumentLayout::KeyOf(const QTextBlock& block)
{
    Key key;
    key.length = block.length();
    key.textHash = qHash(block.text());
    key.blockFormat = block.blockFormatIndex();
    key.charFormats = CharFormatsOf(block);
    return key;
}

uint TDocumentLayout::CharFormatsOf(const QTextBlock& block)
{
    // The block's own character format sizes an empty paragraph.
    uint formats = static_cast<uint>(block.charFormatIndex()) * 16777619u;
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        formats = (formats ^ static_cast<uint>(fragment.charFormatIndex())) * 16777619u;
        formats = (formats ^ static_cast<uint>(fragment.length())) * 16777619u;
    }
    return formats;
}

void TDocumentLayout::SetEstimate(int index, QTextBlock block)
{
    // The block's own layout holds lines of its old text; cursor movement must not
    // read them.
    block.clearLayout();
    Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(index)];
    if (paragraph.exact) {
        paragraph.exact = false;
        ++estimated_;
    }
    paragraph.ownLayout = false;
    paragraph.segments.reset();
    const bool isLong = TLongParagraph::IsLong(block);
    if (isLong != paragraph.isLong) {
        paragraph.isLong = isLong;
        longParagraphs_ += isLong ? 1 : -1;
    }
    paragraph.key = Key();
    firstEstimated_ = std::min(firstEstimated_, index);

    // Until paragraphs have been measured, the default font's metrics stand in.
    const double lineHeight = measuredLines_ > 0 ? measuredHeight_ / measuredLines_ : fontLineHeight_;
    const double charWidth = measuredChars_ > 0 ? measuredWidth_ / measuredChars_ : fontCharWidth_;
    const double textWidth = (block.length() - 1) * charWidth;
    const double available = environment_.pageWidth > 0 ? environment_.pageWidth : 1e12;
    const int lines = std::max(1, static_cast<int>(std::ceil(textWidth / available)));
    index_.Set(index, static_cast<qint64>(lines * lineHeight), lines);
}

QTextBlock TDocumentLayout::ReplaceParagraphs(int first, int removed, int inserted)
{
    if (removed != inserted) {
        const auto begin = paragraphs_.begin() + first;
        estimated_ -= static_cast<int>(std::count_if(begin, begin + removed, [](const Paragraph& p) { return !p.exact; }));
        longParagraphs_ -= static_cast<int>(std::count_if(begin, begin + removed, [](const Paragraph& p) { return p.isLong; }));
        paragraphs_.erase(begin, begin + removed);
        // New paragraphs count as exact until SetEstimate below makes them estimates.
        Paragraph fresh;
        fresh.exact = true;
        paragraphs_.insert(paragraphs_.begin() + first, static_cast<std::size_t>(inserted), fresh);
        index_.Replace(first, removed, inserted);
    }
    const QTextBlock firstBlock = document_->findBlockByNumber(first);
    QTextBlock block = firstBlock;
    for (int i = first; i < first + inserted && block.isValid(); ++i, block = block.next())
        SetEstimate(i, block);
    return firstBlock;
}

void TDocumentLayout::CompareKeys(int first, int oldCount, int newCount, bool formatsMayHaveChanged)
{
    auto unchanged = [this](int oldIndex, const QTextBlock& block) {
        const Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(oldIndex)];
        return paragraph.exact && paragraph.key == KeyOf(block);
    };
    QTextBlock block = document_->findBlockByNumber(first);
    if (oldCount == newCount) {
        // The texts are compared through one flat copy of the document, which costs far
        // less than a copy of each paragraph; character formats only when the edit may
        // have changed formats without changing text.
        const QString text = document_->toRawText();
        int position = block.position();
        for (int i = first; i < first + newCount && block.isValid(); ++i, block = block.next()) {
            const int length = block.length();
            const Paragraph& paragraph = paragraphs_[static_cast<std::size_t>(i)];
            const bool same = paragraph.exact && paragraph.key.length == length
                && paragraph.key.blockFormat == block.blockFormatIndex()
                && paragraph.key.textHash == qHash(QStringView(text).mid(position, length - 1))
                && (!formatsMayHaveChanged || paragraph.key.charFormats == CharFormatsOf(block));
            position += length;
            if (!same)
                SetEstimate(i, block);
        }
        return;
    }
    // Paragraphs were inserted or removed somewhere in the span: keep the unchanged ones
    // at either end and estimate the middle.
    const int shorter = std::min(oldCount, newCount);
    int prefix = 0;
    for (; prefix < shorter && block.isValid() && unchanged(first + prefix, block); ++prefix)
        block = block.next();
    int suffix = 0;
    block = document_->findBlockByNumber(first + newCount - 1);
    for (; suffix < shorter - prefix && block.isValid() && unchanged(first + oldCount - 1 - suffix, block); ++suffix)
        block = block.previous();
    ReplaceParagraphs(first + prefix, oldCount - prefix - suffix, newCount - prefix - suffix);
}
