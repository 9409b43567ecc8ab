#pragma once
// The directional search that the foreign-language search and the standard find share.
#include "platform/text/TextSearch.h"

#include <QString>
#include <optional>

class TRichEdit;

constexpr int kSearchUp = 0;
constexpr int kSearchDown = 1;

// Searches the document from its selection. Down (direction exactly 1): from one past
// the selection start (from the caret when nothing is selected) to the end of the text.
// Up (any other direction): the last occurrence lying wholly before the selection
// start, by repeated forward searches; from position 0 nothing is searched. Changes
// nothing; the empty text finds nothing.
std::optional<int> FindInDocument(const TRichEdit& edit, const QString& text, TSearchTypes types,
                                  int direction);

// Selects the occurrence of text at position; nothing happens for no position.
void SelectOccurrence(TRichEdit& edit, std::optional<int> position, const QString& text);

// Runs FindInDocument with the search types of two check boxes and selects what it
// finds, as the search dialog and find-next both do.
void FindAndSelect(TRichEdit& edit, const QString& text, bool matchCase, bool wholeWord, int direction);
