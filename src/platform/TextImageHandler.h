#pragma once
// Draws the pictures a document holds (QTextImageFormat objects, such as an image pasted
// from a web page) at their own size, or at the width and height their format gives; one
// without an image it can draw shows as a dashed box of that size.
#include <QImage>
#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

// The picture a document holds under name, from its resources; a null image when the
// document has none by that name or it cannot be read.
QImage ImageResourceOf(const QTextDocument& doc, const QString& name);

class TTextImageHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;
};
