// Undo, Delete, Select All, the command state and the selection-change handler.
#include "edit/EditCommands.h"

#include "platform/forms/Clipboard.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Menus.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/ToolBar.h"
#include "shell/SDIMain.h"


CommandState ComputeCommandState(const CommandStateInputs& in)
{
    CommandState state;
    state.undo = in.canUndo;
    state.selection = in.selectionLength != 0;
    state.paste = in.clipboardTextLength >= 1;
    state.document = in.lineCount >= 1;
    state.findNext = state.document && !in.lastFindTextEmpty;
    state.foreignFindNext = state.document && !in.lastFindWordEmpty;
    return state;
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
    CommandStateInputs in;
    in.canUndo = RichEdit1->CanUndo();
    in.selectionLength = RichEdit1->SelLength();
    in.clipboardTextLength = ClipboardText().size();
    in.lineCount = RichEdit1->LineCount();
    in.lastFindTextEmpty = LastFindText.isEmpty();
    in.lastFindWordEmpty = lastFindWord->Text().isEmpty();
    const CommandState state = ComputeCommandState(in);

    const auto set = [this](std::initializer_list<const char*> items, std::initializer_list<const char*> buttons,
                            bool enabled) {
        for (const char* name : items)
            MenuItem(QString::fromLatin1(name))->SetEnabled(enabled);
        for (const char* name : buttons)
            ToolButton(QString::fromLatin1(name))->SetEnabled(enabled);
    };
    set({"Undo1", "Undo2"}, {"Undo3"}, state.undo);
    set({"CutItem", "CopyItem", "Delete1", "Cut2", "Copy2", "Delete2"}, {"Cut3", "Copy3"}, state.selection);
    set({"PasteItem", "Paste2"}, {"Paste3"}, state.paste);
    set({"SelectAll1", "Find1", "Replace1", "FindRu1", "SelectAll2"}, {"Find3"}, state.document);
    set({"FindNext1"}, {}, state.findNext);
    set({"FindRuNext1"}, {}, state.foreignFindNext);
}

void TSDIAppForm::RichEdit1SelectionChange()
{
    TToolButton* left = ToolButton(QStringLiteral("AlignLeft2"));
    TToolButton* centre = ToolButton(QStringLiteral("AlignCenter2"));
    TToolButton* right = ToolButton(QStringLiteral("AlignRight2"));
    switch (RichEdit1->Paragraph().Alignment()) {
    case taLeftJustify:
        left->SetDown(true);
        centre->SetDown(false);
        right->SetDown(false);
        break;
    case taRightJustify:
        left->SetDown(false);
        centre->SetDown(false);
        right->SetDown(true);
        break;
    case taCenter:
        left->SetDown(false);
        centre->SetDown(true);
        right->SetDown(false);
        break;
    default:
        break;
    }
    ToolButton(QStringLiteral("UseBullets"))->SetDown(RichEdit1->Paragraph().Numbering() == nsBullet);
    UpdateStatusBar();
}
