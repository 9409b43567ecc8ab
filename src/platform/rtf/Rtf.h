#pragma once
// Reading and writing the rich-edit control's document as RTF.
#include <QByteArray>

class QTextDocument;

// Replaces the content of doc with the RTF in bytes; ppi converts twips to pixels.
void ReadRtf(const QByteArray& bytes, QTextDocument& doc, int ppi);
// The content of doc as RTF.
QByteArray WriteRtf(const QTextDocument& doc, int ppi);
