#include "foreignsearch/FindDlgForm.h"

#include "search/FindInDocument.h"
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DialogLayout.h"
#include "platform/system/Fonts.h"
#include "platform/richedit/RichEdit.h"
#include "platform/text/Utf8Literal.h"
#include "shell/SDIMain.h"

#include <QGridLayout>
#include <QHBoxLayout>

TFindDlg* FindDlg = nullptr;

namespace {

// Lays the dialog out in the order it was designed in, each control at least its designed
// size: the search text across the top with the find button beside it; the language and
// font lists under it with the direction group and the cancel button to their right; the
// two options along the bottom. Spare room goes to the right and the bottom, so the
// controls keep their places when the dialog is resized.
void LayOutFindDialog(TFindDlg* dialog)
{
    dialog->Edit1->setMinimumWidth(265);
    for (TComboBox* list : {dialog->ComboBox1, dialog->ComboBox2})
        list->setMinimumWidth(161);
    // Every language's name shows whole.
    dialog->ComboBox2->FitWidestItem();
    dialog->grDown->setMinimumSize(89, 49);
    for (TButton* button : {dialog->btnFind, dialog->Cancel})
        button->setMinimumSize(97, 25);

    auto* grid = new QGridLayout(dialog);
    grid->setContentsMargins(kControlSpacing, kControlSpacing, kControlSpacing, kControlSpacing);
    grid->setHorizontalSpacing(kControlSpacing);
    grid->setVerticalSpacing(kControlSpacing / 2);
    const Qt::Alignment caption = Qt::AlignRight | Qt::AlignVCenter;
    grid->addWidget(dialog->Label1, 0, 0, caption);
    grid->addWidget(dialog->Edit1, 0, 1, 1, 2);
    grid->addWidget(dialog->btnFind, 0, 3);
    grid->addWidget(dialog->Label3, 1, 0, caption);
    grid->addWidget(dialog->ComboBox2, 1, 1);
    grid->addWidget(dialog->grDown, 1, 2, 2, 1);
    grid->addWidget(dialog->Cancel, 1, 3, Qt::AlignTop);
    grid->addWidget(dialog->Label2, 2, 0, caption);
    grid->addWidget(dialog->ComboBox1, 2, 1);
    auto* options = new QHBoxLayout;
    options->setSpacing(3 * kControlSpacing);
    options->addSpacing(3 * kControlSpacing);
    options->addWidget(dialog->chWholeWord);
    options->addWidget(dialog->chMatchCase);
    grid->addLayout(options, 3, 0, 1, 3, Qt::AlignLeft);
    grid->addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Expanding), 4, 4);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(4, 1);
}

} // namespace

TFindDlg::TFindDlg()
    : TDialogForm(nullptr, QStringLiteral("FindDlg"))
{
    setWindowTitle(U("検索"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setSizeGripEnabled(false);
    const QString face = PGothicFace();
    SetControlFont(this, face, -12, SHIFTJIS_CHARSET);

    // Declaration order; the tab order is set below.
    Edit1 = new TEdit(this, QStringLiteral("Edit1"));
    // The search box starts in the dialog's Japanese character set; a language chosen
    // later replaces it, and no language (index -1) keeps it.
    SetControlCharset(Edit1, SHIFTJIS_CHARSET);
    ComboBox1 = new TComboBox(this, QStringLiteral("ComboBox1"));
    ComboBox1->SetText(QStringLiteral("Arial CYR"));
    btnFind = new TButton(this, QStringLiteral("btnFind"), U("次を検索(&F)"));
    Label1 = new TLabel(this, QStringLiteral("Label1"), U("検索する文字列(&N)"));
    chMatchCase = new TCheckBox(this, QStringLiteral("chMatchCase"), U("大文字と小文字を区別する(&C)"));
    chWholeWord = new TCheckBox(this, QStringLiteral("chWholeWord"), U("単語全体で探す(&W)"));
    Label2 = new TLabel(this, QStringLiteral("Label2"), U("ﾌｫﾝﾄ"));
    grDown = new TRadioGroup(this, QStringLiteral("grDown"), U("検索する方向"), {U("上へ"), U("下へ")});
    grDown->SetItemIndex(1);
    Cancel = new TButton(this, QStringLiteral("Cancel"), U("キャンセル"));
    ComboBox2 = new TComboBox(this, QStringLiteral("ComboBox2"));
    ComboBox2->SetItems(LanguageLabels());
    Label3 = new TLabel(this, QStringLiteral("Label3"), U("言語"));
    for (TLabel* label : {Label1, Label2, Label3})
        label->setFocusPolicy(Qt::NoFocus);
    LayOutFindDialog(this);
    move(420, 260);
    resize(QSize(494, 110).expandedTo(sizeHint()));

    QWidget* const order[] = {Edit1, ComboBox1, btnFind, chMatchCase, chWholeWord, grDown, Cancel, ComboBox2};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    Edit1->OnChange = [this]() { Edit1Change(); };
    ComboBox1->OnClick = [this]() { ComboBox1Click(); };
    ComboBox2->OnClick = [this]() { ComboBox2Click(); };
    btnFind->OnClick = [this]() { btnFindClick(); };
    Cancel->OnClick = [this]() { CancelClick(); };
}

void TFindDlg::FormCreate()
{
    ComboBox1->SetItems(SDIAppForm->ComboBox1->Items());
    ComboBox2->SetItems(SDIAppForm->ComboBox2->Items());
}

void TFindDlg::FormShow()
{
    ComboBox2->SetItemIndex(SDIAppForm->ComboBox2->ItemIndex());
    ApplyLanguageCharset();
    ComboBox1->SetText(SDIAppForm->ComboBox1->Text());
    SetControlFontName(Edit1, ComboBox1->Text());
    Edit1->SetText(SDIAppForm->lastFindWord->Text());
    UpdateFindButton();
    chWholeWord->SetChecked(SDIAppForm->chWholeWord->Checked());
    chMatchCase->SetChecked(SDIAppForm->chMatchCase->Checked());
    grDown->SetItemIndex(SDIAppForm->grDown->ItemIndex());
}

void TFindDlg::FormClose()
{
    SDIAppForm->ComboBox2->SetItemIndex(ComboBox2->ItemIndex());
    SDIAppForm->ComboBox1->SetText(ComboBox1->Text());
    SetControlFontName(SDIAppForm->lastFindWord, ComboBox1->Text());
    SDIAppForm->lastFindWord->SetText(Edit1->Text());
    SDIAppForm->chWholeWord->SetChecked(chWholeWord->Checked());
    SDIAppForm->chMatchCase->SetChecked(chMatchCase->Checked());
    SDIAppForm->grDown->SetItemIndex(grDown->ItemIndex());
}

void TFindDlg::Edit1Change()
{
    UpdateFindButton();
}

void TFindDlg::ComboBox1Click()
{
    ApplyFontName();
}

void TFindDlg::ComboBox2Click()
{
    ApplyLanguageCharset();
}

void TFindDlg::btnFindClick()
{
    FindAndSelect(*SDIAppForm->RichEdit1, Edit1->Text(), chMatchCase->Checked(), chWholeWord->Checked(),
                  grDown->ItemIndex());
}

void TFindDlg::CancelClick()
{
    Close();
}

void TFindDlg::ApplyFontName()
{
    SetControlFontName(Edit1, ComboBox1->Text());
}

void TFindDlg::ApplyLanguageCharset()
{
    ApplyLanguageCharsetTo(Edit1, ComboBox2->ItemIndex());
}

void TFindDlg::UpdateFindButton()
{
    btnFind->setEnabled(!Edit1->Text().isEmpty());
}
