// The main window's own commands: status bar, About and Exit.
#include "shell/SDIMain.h"

#include "platform/RichEdit.h"
#include "platform/StatusBar.h"
#include "shell/About.h"

void TSDIAppForm::UpdateStatusBar()
{
    const int start = RichEdit1->SelStart();
    const int line = RichEdit1->LineFromChar(start);
    const int first = RichEdit1->LineIndex(line);
    StatusBar->SetPanelText(0, QStringLiteral("%1: %2").arg(line + 1).arg(start - first + 1));
    StatusBar->SetPanelText(1, RichEdit1->Modified() ? QStringLiteral("Modified") : QString());
    StatusBar->SetPanelText(2, DocumentFileName.isEmpty() ? QStringLiteral("(Untitled)")
                                                          : DocumentFileName);
}

void TSDIAppForm::HelpAbout1Execute()
{
    AboutBox->ShowModal();
}

void TSDIAppForm::FileExit1Execute()
{
    Close();
}
