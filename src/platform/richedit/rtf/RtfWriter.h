#pragma once
// The RTF writer: a document in, RTF 1.x bytes out.
#include <QByteArray>

class QTextDocument;

namespace rtf {

// The document as RTF that Word, WordPad, LibreOffice and AbiWord read: a Japanese
// (code page 932) header, a font table with a character set and family per font, a
// colour table, and per paragraph \pard with alignment and indents, then runs each
// written relative to \plain. Bullets are written both as \pn numbering and as a
// Word 97 list. Indents kept in twips are written as they are; a paragraph without
// them has its Qt margins converted at ppi pixels per inch.
QByteArray WriteDocument(const QTextDocument& doc, int ppi);

} // namespace rtf
