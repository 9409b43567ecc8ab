#pragma once
// Shapes (\shp): where a shape stands in the text, its rectangle and the pictures its
// properties hold. A shape that is a picture (its pib property, or a fillBlip that is
// all it shows) gives that picture, sized as the shape, to stand in the text where the
// shape is anchored; its position and wrapping are not kept.
#include "platform/richedit/rtf/DocumentSink.h"
#include "platform/richedit/rtf/RtfKeywords.h"

#include <optional>
#include <string_view>
#include <vector>

namespace rtf {

class ShapeParser {
public:
    // A \shp group opened; shapes nest (in text boxes and shape groups).
    void Begin();
    bool Open() const { return !shapes_.empty(); }
    // \shpleft, \shptop, \shpright, \shpbottom of the innermost shape.
    void Keyword(KeywordId id, int value);
    // The shape has a text box whose text stands in the text.
    void HasText();
    // A property (\sp) starts; its name (\sn) comes as text.
    void PropertyBegin();
    void PropertyName(std::string_view text);
    // The value (\sv) of the current property is a picture the shape may show.
    bool ValueIsPicture() const;
    // The \pict of the current property's value.
    void PropertyPicture(Picture picture);

    struct Result {
        std::optional<Picture> picture;  // sized as the shape
        bool hasText = false;
    };
    // The innermost shape's group closed.
    Result Finish();

private:
    struct Shape {
        long long left = 0, top = 0, right = 0, bottom = 0;
        QByteArray propertyName;
        std::optional<Picture> pib;
        std::optional<Picture> fill;
        bool hasText = false;
    };
    std::vector<Shape> shapes_;
};

// Gives picture the size of a shape of width by height twips where its own goal size
// and scale do not already come to that (within rounding); nothing for an empty shape.
void FitPictureToShape(Picture& picture, long long width, long long height);

} // namespace rtf
