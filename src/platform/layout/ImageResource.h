#pragma once
// Reads the pictures a document keeps among its resources.
#include <QImage>

class QString;
class QTextDocument;

// The picture a document holds under name, from its resources; a null image when the
// document has none by that name or it cannot be read.
QImage ImageResourceOf(const QTextDocument& doc, const QString& name);
