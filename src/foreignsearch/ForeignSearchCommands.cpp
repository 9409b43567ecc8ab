// The main window's side of the foreign-language search.
#include "shell/SDIMain.h"

#include "foreignsearch/FindDlgForm.h"
#include "foreignsearch/FindInDocument.h"
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/RichEdit.h"

void TSDIAppForm::EidtFindRus1Execute()
{
    FindDlg->Show();
}

void TSDIAppForm::EditFindRusNext1Execute()
{
    TSearchTypes types;
    types.matchCase = chMatchCase->Checked();
    types.wholeWord = chWholeWord->Checked();
    const QString text = lastFindWord->Text();
    SelectOccurrence(*RichEdit1, FindInDocument(*RichEdit1, text, types, grDown->ItemIndex()), text);
}

void TSDIAppForm::ApplyLanguageCharset()
{
    if (const std::optional<int> charset = CharsetForLanguage(ComboBox2->ItemIndex()))
        SetControlCharset(lastFindWord, *charset);
}
