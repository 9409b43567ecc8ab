#include "shell/SDIMain.h"

#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/forms/Actions.h"
#include "platform/forms/Controls.h"
#include "platform/recovery/DocumentJournal.h"
#include "platform/dialogs/FileDialogs.h"
#include "platform/forms/FileDrops.h"
#include "platform/dialogs/FontDialog.h"
#include "platform/dialogs/PrintDialogs.h"
#include "platform/system/Fonts.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/NoticeBar.h"
#include "platform/system/Registry.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/StatusBar.h"
#include "platform/forms/ToolBar.h"
#include "platform/text/Utf8Literal.h"

#include <QVBoxLayout>

TSDIAppForm* SDIAppForm = nullptr;

namespace {

const QString kHiddenControlFont = PGothicFace();

} // namespace

TSDIAppForm::TSDIAppForm()
    : TMainForm(QStringLiteral("SDIAppForm"))
{
    setWindowTitle(QStringLiteral("Tesserine"));
    SetOuterBounds(204, 186, 542, 255);
    setFont(FrameworkFont(QStringLiteral("System"), -12));

    CreateImageList();
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
    RichEdit1->OnLinesLaidOut = [this]() {
        if (StatusLineEstimated)
            UpdateStatusBar();
    };
    RichEdit1->OnLoadProgress = [this](int percent) { StatusBar->SetProgress(percent); };
    RichEdit1->OnLoadEnd = [this](bool whole) { DocumentLoadEnded(whole); };
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    EncodingBar = new TNoticeBar(central, QStringLiteral("EncodingBar"));
    column->addWidget(EncodingBar);
    column->addWidget(RichEdit1, 1);
    setCentralWidget(central);
    // The bar speaks of the file as read: any change to the document ends it.
    connect(RichEdit1, &QTextEdit::textChanged, EncodingBar, &TNoticeBar::Close);
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
