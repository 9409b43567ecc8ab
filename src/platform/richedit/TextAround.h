#pragma once
// QTextCursor movements inside a long paragraph answered from the text around a position.
// Run on the paragraph itself, a word or character step makes Qt analyse the paragraph's
// whole text first: a fraction of a second and tens of megabytes for a paragraph of
// megabytes. Run on a copy of a few hundred characters around the position (doubled
// until the answer no longer reaches the copy's edges), it gives the same answer.
#include <functional>
#include <utility>

class QTextCursor;
class QTextDocument;

// The selection a cursor placed at position ends up with after select (start, end),
// for a position inside a paragraph (not at its end).
std::pair<int, int> SpanAround(const QTextDocument& document, int position,
                               const std::function<void(QTextCursor&)>& select);
