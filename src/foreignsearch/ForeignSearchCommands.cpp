// The main window's side of the foreign-language search.
#include "shell/SDIMain.h"

#include "foreignsearch/FindDlgForm.h"
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"

void TSDIAppForm::EidtFindRus1Execute()
{
    FindDlg->Show();
}

void TSDIAppForm::EditFindRusNext1Execute()
{
}

void TSDIAppForm::ApplyLanguageCharset()
{
    if (const std::optional<int> charset = CharsetForLanguage(ComboBox2->ItemIndex()))
        SetControlCharset(lastFindWord, *charset);
}
