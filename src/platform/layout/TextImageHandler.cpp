#include "platform/layout/TextImageHandler.h"

#include "platform/layout/ImageResource.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

QSizeF TTextImageHandler::intrinsicSize(QTextDocument* doc, int, const QTextFormat& format)
{
    const QTextImageFormat image = format.toImageFormat();
    const bool hasWidth = image.hasProperty(QTextFormat::ImageWidth);
    const bool hasHeight = image.hasProperty(QTextFormat::ImageHeight);
    if (hasWidth && hasHeight)
        return QSizeF(image.width(), image.height());
    const QSizeF natural = ImageResourceOf(*doc, image.name()).size();
    if (natural.isEmpty())
        return QSizeF(hasWidth ? image.width() : 0, hasHeight ? image.height() : 0);
    // One side given: the other keeps the picture's proportions.
    if (hasWidth)
        return QSizeF(image.width(), image.width() * natural.height() / natural.width());
    if (hasHeight)
        return QSizeF(image.height() * natural.width() / natural.height(), image.height());
    return natural;
}

void TTextImageHandler::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                                   const QTextFormat& format)
{
    const QImage image = ImageResourceOf(*doc, format.toImageFormat().name());
    if (!image.isNull()) {
        painter->drawImage(rect, image);
        return;
    }
    // A picture that cannot be drawn (a metafile, say) shows as a box of its size.
    painter->save();
    painter->setPen(QPen(Qt::gray, 0, Qt::DashLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}
