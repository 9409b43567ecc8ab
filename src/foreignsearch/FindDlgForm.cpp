#include "foreignsearch/FindDlgForm.h"

#include "foreignsearch/FindInDocument.h"
#include "foreignsearch/LanguageCharsetTable.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/RichEdit.h"
#include "shell/SDIMain.h"

TFindDlg* FindDlg = nullptr;

namespace {

QString U(const char* text)
{
    return QString::fromUtf8(text);
}

// Places a control at its stored bounds, widened or heightened where the installed
// look-alike of the stored font needs more room, so no caption is cut off.
template <class Control>
Control* Place(Control* control, int left, int top, int width, int height)
{
    const QSize hint = control->sizeHint();
    const bool caption = qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control)
                         || qobject_cast<QGroupBox*>(control);
    control->setGeometry(left, top, caption ? std::max(width, hint.width()) : width,
                         qobject_cast<QGroupBox*>(control) ? std::max(height, hint.height()) : height);
    return control;
}

} // namespace

TFindDlg::TFindDlg()
    : TDialogForm(nullptr, QStringLiteral("FindDlg"))
{
    setWindowTitle(U("検索"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setSizeGripEnabled(false);
    const QString face = U("ＭＳ Ｐゴシック");
    SetControlFont(this, face, -12, SHIFTJIS_CHARSET);
    move(420, 260);
    resize(494, 110);

    // Declaration order; the tab order is set below.
    Edit1 = Place(new TEdit(this, QStringLiteral("Edit1")), 112, 8, 265, 20);
    // The search box starts in the dialog's Japanese character set; a language chosen
    // later replaces it, and no language (index -1) keeps it.
    SetControlCharset(Edit1, SHIFTJIS_CHARSET);
    ComboBox1 = Place(new TComboBox(this, QStringLiteral("ComboBox1")), 112, 64, 161, 20);
    ComboBox1->SetText(QStringLiteral("Arial CYR"));
    btnFind = Place(new TButton(this, QStringLiteral("btnFind"), U("次を検索(&F)")), 384, 8, 97, 25);
    Label1 = Place(new TLabel(this, QStringLiteral("Label1"), U("検索する文字列(&N)")), 8, 8, 98, 12);
    chMatchCase = Place(new TCheckBox(this, QStringLiteral("chMatchCase"), U("大文字と小文字を区別する(&C)")), 192, 88, 177, 17);
    chWholeWord = Place(new TCheckBox(this, QStringLiteral("chWholeWord"), U("単語全体で探す(&W)")), 32, 88, 129, 17);
    Label2 = Place(new TLabel(this, QStringLiteral("Label2"), U("ﾌｫﾝﾄ")), 80, 64, 26, 12);
    grDown = Place(new TRadioGroup(this, QStringLiteral("grDown"), U("検索する方向"), {U("上へ"), U("下へ")}),
                   288, 32, 89, 49);
    grDown->SetItemIndex(1);
    Cancel = Place(new TButton(this, QStringLiteral("Cancel"), U("キャンセル")), 384, 40, 97, 25);
    ComboBox2 = Place(new TComboBox(this, QStringLiteral("ComboBox2")), 112, 40, 161, 20);
    ComboBox2->SetItems(LanguageLabels());
    Label3 = Place(new TLabel(this, QStringLiteral("Label3"), U("言語")), 80, 40, 24, 12);
    for (TLabel* label : {Label1, Label2, Label3})
        label->setFocusPolicy(Qt::NoFocus);

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
