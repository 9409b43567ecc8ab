#include "platform/text/TextSearch.h"

#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QThread>
#include <QVariant>
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

// How far a search goes paragraph by paragraph before it takes the document's whole
// text: near occurrences (Find Next, Replace All) cost no copy of a long document.
constexpr int kParagraphStretch = 1 << 16;

// Characters that end a paragraph in the document's raw text: the paragraph separator
// and the marks at the start and end of a frame, such as a table cell. Every other
// character, the line separator U+2028 included, belongs to a paragraph's text.
bool EndsParagraph(QChar c)
{
    return c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

// The document's whole text (QTextDocument::toRawText, where index p holds the
// character at document position p), kept between searches while the document does
// not change. The document's revision tells when it may have: it grows when an edit
// block opens, and every edit is made inside one. Edits inside a block that is still
// open, though (Replace All makes thousands), change neither the revision nor send
// contentsChanged. So the text is taken, and used, only at a revision known to have no
// block open: one reported by contentsChanged, which the document never sends while a
// block is open, or the one found when the event loop next runs after the first
// search, since edit blocks, Qt's own and the program's, open and close within one
// turn of the event loop.
class FlatText : public QObject {
public:
    explicit FlatText(QTextDocument* doc) : QObject(doc), doc_(doc)
    {
        connect(doc, &QTextDocument::contentsChanged, this, [this] {
            Drop();
            settled_ = doc_->revision();
        });
        connect(doc, &QTextDocument::contentsChange, this, [this] { Drop(); });
        QMetaObject::invokeMethod(this, [this] { settled_ = doc_->revision(); }, Qt::QueuedConnection);
    }

    // The text, when taken at the document's present revision; else nothing.
    const QString* Current() const
    {
        return taken_ >= 0 && taken_ == doc_->revision() && taken_ == settled_ ? &text_ : nullptr;
    }

    // True when the text can be taken now.
    bool CanTake() const { return doc_->revision() == settled_; }

    const QString& Take()
    {
        if (!Current()) {
            text_ = doc_->toRawText();
            taken_ = doc_->revision();
        }
        return text_;
    }

private:
    void Drop()
    {
        text_ = QString();
        taken_ = -1;
    }

    QTextDocument* doc_;
    QString text_;
    int taken_ = -1;    // revision text_ was taken at
    int settled_ = -1;  // latest revision known to hold no open edit block
};

constexpr char kFlatTextProperty[] = "tesserineFlatText";

// The document's FlatText, made on first use; nothing for a document that belongs to
// another thread.
FlatText* FlatTextOf(const QTextDocument& doc)
{
    if (doc.thread() != QThread::currentThread())
        return nullptr;
    auto* document = const_cast<QTextDocument*>(&doc);
    const QPointer<QObject> known = doc.property(kFlatTextProperty).value<QPointer<QObject>>();
    if (known && known->parent() == document)
        return static_cast<FlatText*>(known.data());
    auto* flat = new FlatText(document);
    document->setProperty(kFlatTextProperty, QVariant::fromValue(QPointer<QObject>(flat)));
    return flat;
}

// First whole occurrence starting in [start, lastStart] and ending by end, paragraph
// by paragraph, at a cost that grows with the distance scanned.
int FindInParagraphs(const QTextDocument& doc, const QString& text, int start, int lastStart, int end,
                     TSearchTypes types)
{
    const int needle = text.size();
    for (QTextBlock block = doc.findBlock(start); block.isValid() && block.position() <= lastStart;
         block = block.next()) {
        const int blockStart = block.position();
        const int blockEnd = std::min(end, blockStart + block.length() - 1);
        const int from = std::max(start, blockStart);
        const int blockLast = std::min(lastStart, blockEnd - needle);  // inclusive, in document positions
        if (blockLast < from)
            continue;
        if (block.length() <= kWholeBlockLimit) {
            const int hit = FindInString(block.text(), text, from - blockStart, blockLast - blockStart, types);
            if (hit >= 0)
                return blockStart + hit;
            continue;
        }
        // A very long paragraph: scan growing windows, with one character of context
        // on either side for whole words.
        int chunk = 4096;
        for (int windowFrom = from; windowFrom <= blockLast; windowFrom += chunk, chunk = std::min(chunk * 2, 1 << 20)) {
            const int windowLast = std::min(blockLast, windowFrom + chunk - 1);
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

} // namespace

int FindInTextDocument(const QTextDocument& doc, const QString& text, int start, int end,
                       TSearchTypes types)
{
    const int length = doc.characterCount() - 1;
    const int needle = text.size();
    if (needle == 0)
        return -1;
    if (end == kToTextEnd || end > length)
        end = length;
    start = std::max(start, 0);
    if (end - start < needle)
        return -1;
    // Occurrences never span a paragraph break; no character matches one but itself.
    if (std::any_of(text.begin(), text.end(), EndsParagraph))
        return -1;
    const int lastStart = end - needle;

    // In the whole text a paragraph break is no word character, so whole words come
    // out as in each paragraph on its own.
    FlatText* flat = FlatTextOf(doc);
    if (flat && flat->Current())
        return FindInString(*flat->Current(), text, start, lastStart, types);
    const bool canTake = flat && flat->CanTake();
    const int paragraphLast = canTake ? int(std::min<qint64>(lastStart, qint64(start) + kParagraphStretch - 1)) : lastStart;
    const int hit = FindInParagraphs(doc, text, start, paragraphLast, end, types);
    if (hit >= 0 || paragraphLast == lastStart)
        return hit;
    return FindInString(flat->Take(), text, paragraphLast + 1, lastStart, types);
}

std::vector<int> FindOccurrencesToReplace(const QTextDocument& doc, const QString& text, const QString& replacement,
                                          TSearchTypes types)
{
    std::vector<int> hits;
    const int needle = text.size();
    if (needle == 0 || std::any_of(text.begin(), text.end(), EndsParagraph))
        return hits;
    FlatText* flat = FlatTextOf(doc);
    const QString haystack = flat && flat->CanTake() ? flat->Take() : doc.toRawText();
    const Qt::CaseSensitivity sensitivity = types.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int lastStart = int(haystack.size()) - needle;
    int resumeAt = -1;  // where the search goes on after the last replacement
    for (int from = 0; from <= lastStart;) {
        const int hit = int(haystack.indexOf(text, from, sensitivity));
        if (hit < 0 || hit > lastStart)
            break;
        bool whole = true;
        if (types.wholeWord && hit == resumeAt) {
            // Right after a replacement, the character before the occurrence is the
            // replacement's last one, not the text's.
            const int replaced = hit - needle;
            const int before = std::max(0, replaced - 2);
            const QString local = haystack.mid(before, replaced - before) + replacement + haystack.mid(hit, needle + 2);
            const int begin = replaced - before + int(replacement.size());
            whole = IsWholeWordAt(local, begin, begin + needle);
        } else if (types.wholeWord) {
            whole = IsWholeWordAt(haystack, hit, hit + needle);
        }
        if (!whole) {
            from = hit + 1;
            continue;
        }
        hits.push_back(hit);
        from = resumeAt = hit + needle;
    }
    return hits;
}
