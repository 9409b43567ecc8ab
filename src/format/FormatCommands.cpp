// Alignment, font, bullets, page width and paragraph indents of the selection.
// Not built yet: the handlers do nothing.
#include "shell/SDIMain.h"

void TSDIAppForm::UpdateFormattingRect() {}
void TSDIAppForm::FormatAlignLeft1Execute() {}
void TSDIAppForm::FormatAlignCenter1Execute() {}
void TSDIAppForm::FormatAlignRight1Execute() {}
void TSDIAppForm::FormatFontExecute() {}
void TSDIAppForm::FormatBulletsExecute() {}
void TSDIAppForm::FormatPageWidth1Execute() {}
void TSDIAppForm::FormatParagraph1Execute() {}
