#include "platform/forms/ImageList.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon IconFromSvg(const QString& path, std::initializer_list<int> sizes)
{
    QSvgRenderer renderer(path);
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

TImageList::TImageList(int width, int height, const std::vector<Source>& sources)
    : width_(width), height_(height)
{
    icons_.reserve(sources.size());
    for (const Source& source : sources) {
        const QIcon fallback = IconFromSvg(source.fallbackSvg, {width, width * 2});
        icons_.push_back(source.themeName.isEmpty() ? fallback
                                                    : QIcon::fromTheme(source.themeName, fallback));
    }
}

QIcon TImageList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return QIcon();
    return icons_[static_cast<std::size_t>(index)];
}
