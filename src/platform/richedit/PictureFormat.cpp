#include "platform/richedit/PictureFormat.h"

#include "platform/richedit/DocumentProperties.h"

bool IsPictureFormat(const QTextCharFormat& format)
{
    return format.isImageFormat() || format.hasProperty(DocumentProperty::PictureData)
        || format.hasProperty(QTextFormat::ImageName);
}

QTextCharFormat TextFormatOf(QTextCharFormat format)
{
    using namespace DocumentProperty;
    for (const int property :
         {int(QTextFormat::ObjectType), int(QTextFormat::ObjectIndex), int(QTextFormat::ImageName),
          int(QTextFormat::ImageTitle), int(QTextFormat::ImageAltText),
          int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight), int(QTextFormat::ImageQuality),
          PictureKind, PictureKindParameter, PictureData, PictureWidth, PictureHeight, PictureGoalWidth,
          PictureGoalHeight, PictureScaleX, PictureScaleY})
        format.clearProperty(property);
    return format;
}
