#pragma once
// The \pict destination: the picture's kind and size words, and its data written as
// hexadecimal digits or as \bin bytes.
#include "platform/richedit/rtf/DocumentSink.h"

#include <string_view>

namespace rtf {

class PictureParser {
public:
    void Begin();
    // A control word of the picture group (unknown words are ignored).
    void Word(std::string_view name, bool hasParameter, int value);
    // Hexadecimal digits, with any white space between them; other characters are
    // ignored, and a digit left over at the end is dropped.
    void Hex(std::string_view text);
    void Binary(std::string_view bytes);
    Picture Finish();

private:
    Picture picture_;
    int pendingNibble_ = -1;
};

} // namespace rtf
