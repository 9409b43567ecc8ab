#include "platform/richedit/rtf/RtfShape.h"

#include <algorithm>
#include <cstdlib>

namespace rtf {
namespace {

// Property names are short words; a longer one is nothing this reader looks for.
constexpr qsizetype kMaxPropertyName = 32;
// Shapes beyond this many twips (some 18 metres) are damage, not size.
constexpr long long kMaxShapeTwips = 1 << 20;

// One side: the goal is kept when, scaled, it comes within rounding of the shape's.
void FitSide(int& goal, int& scale, long long shape)
{
    if (shape <= 0)
        return;
    shape = std::min(shape, kMaxShapeTwips);
    const long long own = static_cast<long long>(goal) * scale / 100;
    const long long tolerance = std::max(2LL, shape / 100);
    if (goal > 0 && std::llabs(own - shape) <= tolerance)
        return;
    goal = static_cast<int>(shape);
    scale = 100;
}

} // namespace

void FitPictureToShape(Picture& picture, long long width, long long height)
{
    FitSide(picture.goalWidth, picture.scaleX, width);
    FitSide(picture.goalHeight, picture.scaleY, height);
}

void ShapeParser::Begin()
{
    shapes_.emplace_back();
}

void ShapeParser::Keyword(KeywordId id, int value)
{
    if (shapes_.empty())
        return;
    Shape& shape = shapes_.back();
    switch (id) {
    case KeywordId::ShapeLeft: shape.left = value; break;
    case KeywordId::ShapeTop: shape.top = value; break;
    case KeywordId::ShapeRight: shape.right = value; break;
    case KeywordId::ShapeBottom: shape.bottom = value; break;
    default: break;
    }
}

void ShapeParser::HasText()
{
    if (!shapes_.empty())
        shapes_.back().hasText = true;
}

void ShapeParser::PropertyBegin()
{
    if (!shapes_.empty())
        shapes_.back().propertyName.clear();
}

void ShapeParser::PropertyName(std::string_view text)
{
    if (shapes_.empty())
        return;
    QByteArray& name = shapes_.back().propertyName;
    for (const char c : text)
        if (c != ' ' && c != '\r' && c != '\n' && name.size() < kMaxPropertyName)
            name.append(c);
}

bool ShapeParser::ValueIsPicture() const
{
    if (shapes_.empty())
        return false;
    const QByteArray& name = shapes_.back().propertyName;
    return name == "pib" || name == "fillBlip";
}

void ShapeParser::PropertyPicture(Picture picture)
{
    if (shapes_.empty())
        return;
    Shape& shape = shapes_.back();
    if (shape.propertyName == "pib")
        shape.pib = std::move(picture);
    else if (shape.propertyName == "fillBlip")
        shape.fill = std::move(picture);
}

ShapeParser::Result ShapeParser::Finish()
{
    Result result;
    if (shapes_.empty())
        return result;
    Shape shape = std::move(shapes_.back());
    shapes_.pop_back();
    result.hasText = shape.hasText;
    // A fill behind a text box's text is its background, not what the shape shows.
    if (shape.pib)
        result.picture = std::move(shape.pib);
    else if (shape.fill && !shape.hasText)
        result.picture = std::move(shape.fill);
    if (result.picture)
        FitPictureToShape(*result.picture, shape.right - shape.left, shape.bottom - shape.top);
    return result;
}

} // namespace rtf
