#include "platform/richedit/rtf/RtfPicture.h"

#include "platform/richedit/rtf/RtfTokenizer.h"

#include <algorithm>

namespace rtf {
namespace {

// Kinds of picture data; the word names the format of the data that follows.
constexpr std::string_view kKinds[] = {"pngblip", "jpegblip", "emfblip", "wmetafile", "dibitmap",
                                       "wbitmap", "macpict", "pmmetafile"};

// Sizes beyond this are taken as this, so a damaged file cannot ask for a huge picture.
constexpr int kMaxSize = 1 << 20;

} // namespace

void PictureParser::Begin()
{
    picture_ = Picture();
    pendingNibble_ = -1;
}

void PictureParser::Word(std::string_view name, bool hasParameter, int value)
{
    const int size = std::clamp(value, 0, kMaxSize);
    if (std::find(std::begin(kKinds), std::end(kKinds), name) != std::end(kKinds)) {
        picture_.kind = QByteArray(name.data(), static_cast<qsizetype>(name.size()));
        picture_.kindParameter = hasParameter ? value : -1;
    } else if (name == "picw") {
        picture_.width = size;
    } else if (name == "pich") {
        picture_.height = size;
    } else if (name == "picwgoal") {
        picture_.goalWidth = size;
    } else if (name == "pichgoal") {
        picture_.goalHeight = size;
    } else if (name == "picscalex" && size > 0) {
        picture_.scaleX = size;
    } else if (name == "picscaley" && size > 0) {
        picture_.scaleY = size;
    }
}

void PictureParser::Hex(std::string_view text)
{
    for (const char c : text) {
        const int nibble = HexValue(c);
        if (nibble < 0)
            continue;
        if (pendingNibble_ < 0) {
            pendingNibble_ = nibble;
        } else {
            picture_.data.append(static_cast<char>(pendingNibble_ << 4 | nibble));
            pendingNibble_ = -1;
        }
    }
}

void PictureParser::Binary(std::string_view bytes)
{
    picture_.data.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

Picture PictureParser::Finish()
{
    pendingNibble_ = -1;
    return std::move(picture_);
}

} // namespace rtf
