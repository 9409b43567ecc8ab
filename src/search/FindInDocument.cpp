#include "search/FindInDocument.h"

#include "platform/richedit/RichEdit.h"

std::optional<int> FindInDocument(const TRichEdit& edit, const QString& text, TSearchTypes types,
                                  int direction)
{
    if (text.isEmpty())
        return std::nullopt;
    const int s = edit.SelStart();
    if (direction == kSearchDown) {
        const int start = edit.SelLength() != 0 ? s + 1 : s;
        // An occurrence ending at the last character is found from a caret too.
        const int found = edit.FindTextToEnd(text, start, types);
        return found >= 0 ? std::optional<int>(found) : std::nullopt;
    }
    if (s <= 0)
        return std::nullopt;
    int last = -1;
    for (int p = -1;;) {
        p = edit.FindText(text, p + 1, s - p - 1, types);
        if (p < 0)
            break;
        last = p;
    }
    return last >= 0 ? std::optional<int>(last) : std::nullopt;
}

void SelectOccurrence(TRichEdit& edit, std::optional<int> position, const QString& text)
{
    if (!position)
        return;
    edit.SetSelStart(*position);
    edit.SetSelLength(text.size());
}

void FindAndSelect(TRichEdit& edit, const QString& text, bool matchCase, bool wholeWord, int direction)
{
    TSearchTypes types;
    types.matchCase = matchCase;
    types.wholeWord = wholeWord;
    SelectOccurrence(edit, FindInDocument(edit, text, types, direction), text);
}
