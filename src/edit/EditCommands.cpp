// Undo, Delete, Select All, the command state and the selection-change handler.
#include "edit/EditCommands.h"

#include "platform/RichEdit.h"
#include "shell/SDIMain.h"

#include <QLineEdit>

bool EditControlKeepsKey(QWidget* focus, const QKeySequence& key)
{
    if (key != QKeySequence(Qt::Key_Delete))
        return false;
    if (auto* rich = qobject_cast<QTextEdit*>(focus))
        return !rich->textCursor().hasSelection();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return !line->hasSelectedText();
    return false;
}

void TSDIAppForm::EditUndo1Execute()
{
    RichEdit1->Undo();
}

void TSDIAppForm::EditDelete1Execute()
{
    RichEdit1->ClearSelection();
}

void TSDIAppForm::SelectAll1Click()
{
    RichEdit1->SetSelStart(0);
    RichEdit1->SetSelLength(-1);
}

void TSDIAppForm::Edit1Click()
{
}

void TSDIAppForm::RichEdit1SelectionChange()
{
    UpdateStatusBar();
}
