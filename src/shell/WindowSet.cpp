#include "shell/WindowSet.h"

#include "foreignsearch/FindDlgForm.h"
#include "format/PageWidth.h"
#include "format/Paragraph.h"
#include "platform/Application.h"
#include "shell/About.h"
#include "shell/SDIMain.h"

void CreateWindowSet(TApplication& application)
{
    application.CreateForm(SDIAppForm);
    application.CreateForm(AboutBox);
    application.CreateForm(SetPageWidth);
    application.CreateForm(SetParagraph);
    application.CreateForm(FindDlg);
}
