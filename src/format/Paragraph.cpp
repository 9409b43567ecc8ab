#include "format/Paragraph.h"

TSetParagraph* SetParagraph = nullptr;

TSetParagraph::TSetParagraph()
    : TDialogForm(nullptr, QStringLiteral("SetParagraph"))
{
    setWindowTitle(QString::fromUtf8("段落の書式設定"));
}
