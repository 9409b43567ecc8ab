// Alignment, font, bullets, page width and paragraph indents of the selection.
#include "shell/SDIMain.h"

#include "platform/RichEdit.h"

#include <cmath>
#include <limits>

namespace {

// Truncates toward zero; values beyond the 32-bit range saturate, NaN gives 0.
int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace

void TSDIAppForm::UpdateFormattingRect()
{
    if (!RichEdit1)
        return;
    const int right = TruncateToInt(PageWidthInches * PixelsPerInch());
    RichEdit1->SetFormattingRect(10, 10, right, RichEdit1->ClientHeight() - 20);
}

// Not built yet: the handlers below do nothing.
void TSDIAppForm::FormatAlignLeft1Execute() {}
void TSDIAppForm::FormatAlignCenter1Execute() {}
void TSDIAppForm::FormatAlignRight1Execute() {}
void TSDIAppForm::FormatFontExecute() {}
void TSDIAppForm::FormatBulletsExecute() {}
void TSDIAppForm::FormatPageWidth1Execute() {}
void TSDIAppForm::FormatParagraph1Execute() {}
