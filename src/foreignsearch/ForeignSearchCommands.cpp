// The main window's side of the foreign-language search.
#include "shell/SDIMain.h"

#include "foreignsearch/FindDlgForm.h"
#include "search/FindInDocument.h"
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/forms/Controls.h"
#include "platform/richedit/RichEdit.h"

void TSDIAppForm::EidtFindRus1Execute()
{
    FindDlg->Show();
}

void TSDIAppForm::EditFindRusNext1Execute()
{
    FindAndSelect(*RichEdit1, lastFindWord->Text(), chMatchCase->Checked(), chWholeWord->Checked(),
                  grDown->ItemIndex());
}

void TSDIAppForm::ApplyLanguageCharset()
{
    ApplyLanguageCharsetTo(lastFindWord, ComboBox2->ItemIndex());
}
