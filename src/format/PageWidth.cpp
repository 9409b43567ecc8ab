#include "format/PageWidth.h"

TSetPageWidth* SetPageWidth = nullptr;

TSetPageWidth::TSetPageWidth()
    : TDialogForm(nullptr, QStringLiteral("SetPageWidth"))
{
    setWindowTitle(QString::fromUtf8("ページ幅"));
}
