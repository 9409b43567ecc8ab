// Printer setup and printing of the document. Printing goes through the control's own
// print with an empty job title; nothing here touches the document or the status bar.
#include "shell/SDIMain.h"

#include "platform/dialogs/PrintDialogs.h"
#include "platform/richedit/RichEdit.h"

void TSDIAppForm::FilePrinterSetup1Execute()
{
    PrinterSetupDialog1->Execute();
}

void TSDIAppForm::Print1Click()
{
    if (PrintDialog1->Execute())
        RichEdit1->Print(QString());
}

void TSDIAppForm::FilePrint1Execute()
{
    RichEdit1->Print(QString());
}
