#include "platform/TextSearch.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// The code point ending just before index, or the one starting at index.
char32_t CodePointBefore(const QString& s, int index)
{
    const QChar low = s.at(index - 1);
    if (low.isLowSurrogate() && index >= 2 && s.at(index - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(s.at(index - 2), low);
    return low.unicode();
}

char32_t CodePointAt(const QString& s, int index)
{
    const QChar high = s.at(index);
    if (high.isHighSurrogate() && index + 1 < s.size() && s.at(index + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(high, s.at(index + 1));
    return high.unicode();
}

bool IsWordCharacter(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'_';
}

bool IsWrittenWithoutSpaces(char32_t c)
{
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Bopomofo:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
    case QChar::Script_Tibetan:
        return true;
    default:
        // The prolonged sound mark and iteration marks belong to kana and kanji.
        return c == U'\u30FC' || c == U'\u3005' || c == U'\u309D' || c == U'\u309E';
    }
}

bool JoinIntoOneWord(char32_t left, char32_t right)
{
    return IsWordCharacter(left) && IsWordCharacter(right) && !IsWrittenWithoutSpaces(left)
        && !IsWrittenWithoutSpaces(right);
}

// Text of doc in [from, to), paragraph breaks as U+2029, at a cost proportional to
// the span.
QString Span(const QTextDocument& doc, int from, int to)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

} // namespace

bool IsWholeWordAt(const QString& haystack, int begin, int end)
{
    if (begin >= end)
        return false;
    if (begin > 0 && JoinIntoOneWord(CodePointBefore(haystack, begin), CodePointAt(haystack, begin)))
        return false;
    if (end < haystack.size() && JoinIntoOneWord(CodePointBefore(haystack, end), CodePointAt(haystack, end)))
        return false;
    return true;
}

namespace {

// First whole occurrence in haystack starting in [from, lastStart], or -1.
int FindInString(const QString& haystack, const QString& text, int from, int lastStart, TSearchTypes types)
{
    const Qt::CaseSensitivity sensitivity = types.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int index = from;; ++index) {
        index = haystack.indexOf(text, index, sensitivity);
        if (index < 0 || index > lastStart)
            return -1;
        if (!types.wholeWord || IsWholeWordAt(haystack, index, index + text.size()))
            return index;
    }
}

// Paragraphs up to this size are searched as one string; longer ones in windows.
constexpr int kWholeBlockLimit = 1 << 16;

} // namespace

int FindInTextDocument(const QTextDocument& doc, const QString& text, int start, int end,
                       TSearchTypes types)
{
    const int length = doc.characterCount() - 1;
    const int needle = text.size();
    if (needle == 0)
        return -1;
    if (end == -1 || end > length)
        end = length;
    start = std::max(start, 0);
    if (end - start < needle)
        return -1;

    // Occurrences never span a paragraph break, and a break is a word boundary, so
    // each paragraph is searched on its own.
    for (QTextBlock block = doc.findBlock(start); block.isValid() && block.position() + needle <= end;
         block = block.next()) {
        const int blockStart = block.position();
        const int blockEnd = std::min(end, blockStart + block.length() - 1);
        const int from = std::max(start, blockStart);
        const int lastStart = blockEnd - needle;  // inclusive, in document positions
        if (lastStart < from)
            continue;
        if (block.length() <= kWholeBlockLimit) {
            const int hit = FindInString(block.text(), text, from - blockStart, lastStart - blockStart, types);
            if (hit >= 0)
                return blockStart + hit;
            continue;
        }
        // A very long paragraph: scan growing windows, with one character of context
        // on either side for whole words.
        int chunk = 4096;
        for (int windowFrom = from; windowFrom <= lastStart; windowFrom += chunk, chunk = std::min(chunk * 2, 1 << 20)) {
            const int windowLast = std::min(lastStart, windowFrom + chunk - 1);
            const int windowBegin = std::max(blockStart, windowFrom - 1);
            const int windowEnd = std::min(blockStart + block.length() - 1, windowLast + needle + 1);
            const int hit = FindInString(Span(doc, windowBegin, windowEnd), text, windowFrom - windowBegin,
                                         windowLast - windowBegin, types);
            if (hit >= 0)
                return windowBegin + hit;
        }
    }
    return -1;
}
