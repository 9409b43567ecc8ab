#pragma once
// Replace All over a whole document.
#include "platform/text/TextSearch.h"

#include <QString>

class TRichEdit;

// Replaces every occurrence of findText, left to right, as one undo step. The search
// goes on after each inserted replacement, so it never matches inside or across one
// (ab -> xa in abb gives xab) and always ends. Leaves the caret after the last
// replacement, or the selection as it was when there was none; returns the count.
int ReplaceAllInDocument(TRichEdit& edit, const QString& findText, const QString& replaceText,
                         TSearchTypes types);
