// Find, Find Next, Replace and Replace All through the desktop's search dialogs.
// Not built yet: the handlers do nothing.
#include "shell/SDIMain.h"

void TSDIAppForm::EditFind1Execute() {}
void TSDIAppForm::EditFindNext1Execute() {}
void TSDIAppForm::EditReplace1Execute() {}
void TSDIAppForm::FindDialog1Find() {}
void TSDIAppForm::ReplaceDialog1Replace() {}
