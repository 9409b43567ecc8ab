#pragma once
// Which format a document file is read and written in follows from its name alone.
#include <QString>

// True when the last four characters of name, upper-cased (the same in every locale),
// are ".RTF": NOTES.Rtf and notes.rtf are rich text; notes.rtf.bak, notes.txt and
// notes are plain text.
bool IsRichTextName(const QString& name);

// The filter shared by the Open and Save dialogs.
QString DocumentFileFilter();
