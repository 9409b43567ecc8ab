#include "shell/WindowSet.h"

#include "foreignsearch/FindDlgForm.h"
#include "format/PageWidth.h"
#include "format/Paragraph.h"
#include "platform/forms/Application.h"
#include "platform/forms/ImageList.h"
#include "shell/About.h"
#include "shell/SDIMain.h"

#include <QApplication>

void CreateWindowSet(TApplication& application)
{
    // Every window without an icon of its own shows the program's, the About box's artwork.
    QApplication::setWindowIcon(
        IconFromSvg(QStringLiteral(":/icons/tesserine.svg"), {16, 24, 32, 48, 64, 128, 256}));
    application.CreateForm(SDIAppForm);
    application.CreateForm(AboutBox);
    application.CreateForm(SetPageWidth);
    application.CreateForm(SetParagraph);
    application.CreateForm(FindDlg);
}
