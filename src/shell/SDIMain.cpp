#include "shell/SDIMain.h"

#include "edit/ControlKeys.h"
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/Actions.h"
#include "platform/Clipboard.h"
#include "platform/Controls.h"
#include "platform/FileDialogs.h"
#include "platform/FileDrops.h"
#include "platform/FontDialog.h"
#include "platform/PrintDialogs.h"
#include "platform/Fonts.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/Registry.h"
#include "platform/RichEdit.h"
#include "platform/StatusBar.h"
#include "platform/ToolBar.h"
#include "shell/ActionTable.h"

#include <QMenuBar>

TSDIAppForm* SDIAppForm = nullptr;

namespace {

QString U(const char* text)
{
    return QString::fromUtf8(text);
}

const QString kHiddenControlFont = QString::fromUtf8("ＭＳ Ｐゴシック");

} // namespace

TSDIAppForm::TSDIAppForm()
    : TMainForm(QStringLiteral("SDIAppForm"))
{
    setWindowTitle(QStringLiteral("Tesserine"));
    SetOuterBounds(204, 186, 542, 255);
    setFont(FrameworkFont(QStringLiteral("System"), -12));

    std::vector<TImageList::Source> images;
    for (const ImageRow& row : ImageTable())
        images.push_back({U(row.themeName), U(row.fallback)});
    ImageList1 = std::make_unique<TImageList>(16, 16, images);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateHiddenSearchControls();
    CreateFileDialogs();
    CreateSearchDialogs();
    FontDialog1 = new TFontDialog(this, QStringLiteral("FontDialog1"));
    PrinterSetupDialog1 = std::make_unique<TPrinterSetupDialog>(this, QStringLiteral("PrinterSetupDialog1"));
    PrintDialog1 = std::make_unique<TPrintDialog>(this, QStringLiteral("PrintDialog1"));

    RichEdit1 = new TRichEdit(this, QStringLiteral("RichEdit1"));
    SetControlFont(RichEdit1, QStringLiteral("Arial"), -12, RUSSIAN_CHARSET);
    RichEdit1->PopupMenu = PopupMenu1;
    RichEdit1->OnSelectionChange = [this]() { RichEdit1SelectionChange(); };
    setCentralWidget(RichEdit1);
    // A file dropped from a file manager opens as File → Open would open it; the window
    // holds one document, so of several files the first.
    auto* drops = new TFileDropTarget(this, [this](const QStringList& paths) { OpenFileFromDesktop(paths.first()); });
    drops->Watch(RichEdit1);

    StatusBar = new TStatusBar(this, QStringLiteral("StatusBar"), {200, 75, 50});
    setStatusBar(StatusBar);
}

TSDIAppForm::~TSDIAppForm()
{
    if (SDIAppForm == this)
        SDIAppForm = nullptr;
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

void TSDIAppForm::CreateHiddenSearchControls()
{
    lastFindWord = new TEdit(ToolBar1, QStringLiteral("lastFindWord"));
    ComboBox1 = new TComboBox(ToolBar1, QStringLiteral("ComboBox1"));
    ComboBox2 = new TComboBox(ToolBar1, QStringLiteral("ComboBox2"));
    chMatchCase = new TCheckBox(ToolBar1, QStringLiteral("chMatchCase"));
    chWholeWord = new TCheckBox(ToolBar1, QStringLiteral("chWholeWord"));
    grDown = new TRadioGroup(ToolBar1, QStringLiteral("grDown"), QString(),
                             {U("上へ"), U("下へ")});
    grDown->SetItemIndex(1);
    ComboBox1->SetText(kHiddenControlFont);
    ComboBox2->SetItems(LanguageLabels());
    ComboBox2->SetText(LanguageLabels().front());
    for (QWidget* control : std::initializer_list<QWidget*>{lastFindWord, ComboBox1, ComboBox2,
                                                            chMatchCase, chWholeWord, grDown}) {
        SetControlFont(control, kHiddenControlFont, -11, SHIFTJIS_CHARSET);
        ToolBar1->AddHiddenControl(control);
    }
}

TMenuItem* TSDIAppForm::MenuItem(const QString& name) const
{
    return findChild<TMenuItem*>(name);
}

TToolButton* TSDIAppForm::ToolButton(const QString& name) const
{
    return findChild<TToolButton*>(name);
}

TAction* TSDIAppForm::Action(const QString& name) const
{
    return ActionList1->Find(name);
}
