#include "platform/richedit/TextAround.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// Characters taken on either side of the position at first.
constexpr int kWindow = 256;

} // namespace

std::pair<int, int> SpanAround(const QTextDocument& document, int position,
                               const std::function<void(QTextCursor&)>& select)
{
    const QTextBlock block = document.findBlock(position);
    const int blockStart = block.position();
    const int blockEnd = blockStart + block.length() - 1;
    for (int window = kWindow;; window *= 2) {
        const int from = std::max(blockStart, position - window);
        const int to = std::min(blockEnd, position + window);
        QString text;
        text.reserve(to - from);
        for (int i = from; i < to; ++i)
            text += document.characterAt(i);
        QTextDocument piece;
        piece.setPlainText(text);
        QTextCursor cursor(&piece);
        cursor.setPosition(position - from);
        select(cursor);
        const int start = from + cursor.selectionStart();
        const int end = from + cursor.selectionEnd();
        const bool atEdge = (start <= from && from > blockStart) || (end >= to && to < blockEnd);
        if (!atEdge || window >= blockEnd - blockStart)
            return {start, end};
    }
}
