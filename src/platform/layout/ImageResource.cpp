#include "platform/layout/ImageResource.h"

#include <QPixmap>
#include <QTextDocument>
#include <QUrl>

QImage ImageResourceOf(const QTextDocument& doc, const QString& name)
{
    const QVariant resource = doc.resource(QTextDocument::ImageResource, QUrl(name));
    if (resource.userType() == QMetaType::QImage)
        return resource.value<QImage>();
    if (resource.userType() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    if (resource.userType() == QMetaType::QByteArray)
        return QImage::fromData(resource.toByteArray());
    return QImage();
}
