// The main window's own commands: status bar, About and Exit.
#include "shell/SDIMain.h"

#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "shell/About.h"

void TSDIAppForm::UpdateStatusBar()
{
    // Far ahead of the background layout the line is estimated, and shown again once
    // the layout has reached the caret.
    const int start = RichEdit1->SelStart();
    const TRichEdit::TLinePlace place = RichEdit1->LinePlace(start);
    StatusLineEstimated = !place.Exact;
    StatusBar->SetPanelText(0, QStringLiteral("%1: %2").arg(place.Line + 1).arg(start - place.Start + 1));
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
