#pragma once
// Forward search over a text document, confined to a range.
#include <QString>
#include <vector>

class QTextDocument;

struct TSearchTypes {
    bool wholeWord = false;
    bool matchCase = false;
};

// An end bound that reaches to the end of the text, wherever that is.
constexpr int kToTextEnd = -1;

// The position of the first occurrence of text lying wholly inside [start, end) of
// doc, or -1. end kToTextEnd means the end of the text; a range that ends before it begins,
// and the empty text, find nothing. Occurrences up to 64 Ki characters past start
// cost in proportion to the distance, not to the size of the document or of its
// paragraphs; a search that goes further searches the document's whole text, copied
// once and kept (as a child object of doc) until the document changes.
int FindInTextDocument(const QTextDocument& doc, const QString& text, int start, int end,
                       TSearchTypes types);

// The occurrences of text that replacing each by replacement, left to right, would
// replace, as positions in doc before any replacement. The search goes on after each
// replacement, so none lies inside or across one, and a whole word is judged with the
// replacement in front of it. One pass over the document's whole text.
std::vector<int> FindOccurrencesToReplace(const QTextDocument& doc, const QString& text, const QString& replacement,
                                          TSearchTypes types);

// True when the occurrence [begin, end) of haystack stands as a word of its own: the
// characters on either side do not join it into a longer word. Scripts written without
// spaces (Han, kana, Thai, ...) join nothing.
bool IsWholeWordAt(const QString& haystack, int begin, int end);
