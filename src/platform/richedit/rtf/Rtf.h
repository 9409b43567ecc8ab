#pragma once
// Reading and writing the rich-edit control's document as RTF.
#include <QByteArray>
#include <QStringList>

class QTextDocument;

// Replaces the content of doc with the RTF in bytes; ppi converts twips to pixels.
// Returns what the RTF held that a save will not write back, each described in
// Japanese as the program's notices are ("表の構造（セルはタブになります）",
// "ヘッダーとフッター", ...), empty when the document is kept whole.
QStringList ReadRtf(const QByteArray& bytes, QTextDocument& doc, int ppi);
// Those descriptions as one list in a sentence: "脚注、ヘッダーとフッター".
QString JoinUnkept(const QStringList& unkept);
// The content of doc as RTF.
QByteArray WriteRtf(const QTextDocument& doc, int ppi);
