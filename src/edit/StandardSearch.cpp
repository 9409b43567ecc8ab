// Find, Find Next, Replace and Replace All through the desktop's search dialogs.
#include "edit/StandardSearch.h"

#include "search/FindInDocument.h"
#include "platform/forms/BusyCursor.h"
#include "platform/dialogs/FindReplaceDialogs.h"
#include "platform/richedit/RichEdit.h"
#include "shell/SDIMain.h"

namespace {

TSearchTypes TypesFromOptions(int options)
{
    TSearchTypes types;
    types.matchCase = (options & frMatchCase) != 0;
    types.wholeWord = (options & frWholeWord) != 0;
    return types;
}

} // namespace

int ReplaceAllInDocument(TRichEdit& edit, const QString& findText, const QString& replaceText,
                         TSearchTypes types)
{
    if (findText.isEmpty())
        return 0;
    // All occurrences are found in one pass before the first is replaced, in the
    // whole file.
    edit.FinishLoading();
    const std::vector<int> occurrences = edit.FindOccurrencesToReplace(findText, replaceText, types);
    const BusyCursor busy;
    edit.BeginEditBlock();
    qint64 shift = 0;  // how far earlier replacements moved the text
    for (const int position : occurrences) {
        edit.ReplaceRange(static_cast<int>(position + shift), findText.size(), replaceText);
        shift += replaceText.size() - findText.size();
    }
    edit.EndEditBlock();
    return static_cast<int>(occurrences.size());
}

void TSDIAppForm::CreateSearchDialogs()
{
    FindDialog1 = new TFindDialog(this, QStringLiteral("FindDialog1"), false);
    ReplaceDialog1 = new TFindDialog(this, QStringLiteral("ReplaceDialog1"), true);
    FindDialog1->OnFind = [this]() { FindDialog1Find(FindDialog1); };
    ReplaceDialog1->OnFind = [this]() { FindDialog1Find(ReplaceDialog1); };
    ReplaceDialog1->OnReplace = [this]() { ReplaceDialog1Replace(); };
}

void TSDIAppForm::EditFind1Execute()
{
    FindDialog1->Execute();
}

void TSDIAppForm::EditReplace1Execute()
{
    ReplaceDialog1->Execute();
}

void TSDIAppForm::FindDialog1Find(TFindDialog* sender)
{
    const int options = sender->Options();
    const TSearchTypes types = TypesFromOptions(options);
    LastMatchCase = types.matchCase;
    LastWholeWord = types.wholeWord;
    LastFindText = sender->FindText();
    const bool down = (options & frDown) != 0;
    // An upward search from the very top finds nothing; the next Find Next goes down.
    LastSearchDown = down ? true : RichEdit1->SelStart() <= 0;
    FindAndSelect(*RichEdit1, LastFindText, types.matchCase, types.wholeWord, down ? kSearchDown : kSearchUp);
}

void TSDIAppForm::EditFindNext1Execute()
{
    FindAndSelect(*RichEdit1, LastFindText, LastMatchCase, LastWholeWord, LastSearchDown ? kSearchDown : kSearchUp);
}

void TSDIAppForm::ReplaceDialog1Replace()
{
    if (ReplaceDialog1->Options() & frReplaceAll) {
        ReplaceAllInDocument(*RichEdit1, ReplaceDialog1->FindText(), ReplaceDialog1->ReplaceText(),
                             TypesFromOptions(ReplaceDialog1->Options()));
        return;
    }
    if (RichEdit1->SelLength() > 0)
        RichEdit1->SetSelText(ReplaceDialog1->ReplaceText());
    FindDialog1Find(ReplaceDialog1);
}
