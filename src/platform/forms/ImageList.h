#pragma once
// A list of small images addressed by index, as menus and toolbars use them.
#include <QIcon>
#include <QString>
#include <vector>

class TImageList {
public:
    struct Source {
        QString themeName;    // freedesktop icon name, tried first
        QString fallbackSvg;  // bundled artwork used when the theme has no such icon
    };

    TImageList(int width, int height, const std::vector<Source>& sources);

    int Count() const { return static_cast<int>(icons_.size()); }
    // The image at index; a null icon outside the list.
    QIcon Icon(int index) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_;
    int height_;
    std::vector<QIcon> icons_;
};

// Renders bundled SVG artwork at the given sizes into an icon.
QIcon IconFromSvg(const QString& path, std::initializer_list<int> sizes);
