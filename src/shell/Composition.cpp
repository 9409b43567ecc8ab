// The main window's images, actions, menus and toolbar, built from their tables.
#include "shell/SDIMain.h"

#include "edit/ControlKeys.h"
#include "platform/forms/Actions.h"
#include "platform/forms/Clipboard.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/ToolBar.h"
#include "platform/text/Utf8Literal.h"
#include "shell/ActionTable.h"

#include <QMenuBar>

void TSDIAppForm::CreateImageList()
{
    std::vector<TImageList::Source> images;
    for (const ImageRow& row : ImageTable())
        images.push_back({U(row.themeName), U(row.fallback)});
    ImageList1 = std::make_unique<TImageList>(16, 16, images);
}

void TSDIAppForm::CreateActions()
{
    ActionList1 = new TActionList(this);
    ActionList1->ControlKeepsKey = EditControlKeepsKey;
    for (const ActionRow& row : MainActionTable()) {
        TAction* action = ActionList1->Add(U(row.name));
        action->Category = U(row.category);
        action->SetCaption(U(row.caption));
        action->SetHint(U(row.hint));
        action->ImageIndex = row.image;
        action->SetShortCut(QKeySequence(U(row.shortcut)));
        if (row.handler) {
            const FormHandler handler = row.handler;
            action->OnExecute = [this, handler]() { (this->*handler)(); };
        }
        switch (row.standard) {
        case StandardEdit::Cut: action->OnExecute = CutFocusedEdit; break;
        case StandardEdit::Copy: action->OnExecute = CopyFocusedEdit; break;
        case StandardEdit::Paste: action->OnExecute = PasteFocusedEdit; break;
        case StandardEdit::None: break;
        }
    }
    ActionList1->SetImages(ImageList1.get());
}

void TSDIAppForm::CreateMenus()
{
    for (const TopMenuRow& row : MainMenuTable()) {
        auto* menu = new TPopupMenu(this, U(row.name), U(row.caption));
        menu->menuAction()->setStatusTip(U(row.hint));
        menuBar()->addMenu(menu);
    }
    File1 = findChild<TPopupMenu*>(QStringLiteral("File1"));
    Edit1 = findChild<TPopupMenu*>(QStringLiteral("Edit1"));
    Format1 = findChild<TPopupMenu*>(QStringLiteral("Format1"));
    Help1 = findChild<TPopupMenu*>(QStringLiteral("Help1"));
    Edit1->OnPopup = [this]() { Edit1Click(); };

    PopupMenu1 = new TPopupMenu(this, QStringLiteral("PopupMenu1"));
    PopupMenu1->OnPopup = [this]() { Edit1Click(); };

    for (const MenuRow& row : MenuItemTable()) {
        auto* menu = findChild<TPopupMenu*>(U(row.menu));
        if (!row.action && !row.caption) {
            menu->AddSeparator(U(row.name));
            continue;
        }
        TMenuItem* item = menu->AddItem(U(row.name));
        if (row.action) {
            item->SetAction(ActionList1->Find(U(row.action)));
            continue;
        }
        item->SetCaption(U(row.caption));
        item->SetHint(U(row.hint));
        const FormHandler handler = row.handler;
        item->OnClick = [this, handler]() { (this->*handler)(); };
        if (row.shortcut && *row.shortcut)
            item->SetShortCut(QKeySequence(U(row.shortcut)), ActionList1);
    }
}

void TSDIAppForm::CreateToolBar()
{
    ToolBar1 = new TToolBar(this, QStringLiteral("ToolBar1"), 33, 5);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    int separators = 0;
    for (const ToolBarRow& row : ToolBarTable()) {
        if (!row.name) {
            ToolBar1->AddSeparator(QStringLiteral("ToolSeparator%1").arg(++separators));
            continue;
        }
        TToolButton* button = ToolBar1->AddButton(U(row.name));
        if (row.ownHint)
            button->SetHint(U(row.ownHint));
        button->SetAction(ActionList1->Find(U(row.action)));
        if (row.style == ButtonStyle::Check)
            button->SetCheckStyle(false, true);
        else if (row.style == ButtonStyle::GroupedCheck)
            button->SetCheckStyle(true, true);
    }
}
