#pragma once
// Draws the pictures a document holds (QTextImageFormat objects, such as an image pasted
// from a web page) at their own size, or at the width and height their format gives; one
// without an image it can draw shows as a dashed box of that size.
#include <QImage>
#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

class TTextImageHandler : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;
};
