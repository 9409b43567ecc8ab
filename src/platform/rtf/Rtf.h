#pragma once
// Reading and writing the rich-edit control's document as RTF.
#include <QByteArray>
#include <QStringList>

class QTextDocument;

// Replaces the content of doc with the RTF in bytes; ppi converts twips to pixels.
// Returns what the RTF held that a save will not write back ("tables' structure",
// "headers and footers", ...), empty when the document is kept whole.
QStringList ReadRtf(const QByteArray& bytes, QTextDocument& doc, int ppi);
// The content of doc as RTF.
QByteArray WriteRtf(const QTextDocument& doc, int ppi);
