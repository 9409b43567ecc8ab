// The main window's creation, close query, close and resize.
#include "shell/SDIMain.h"

#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/RichEdit.h"

namespace {
constexpr int kDefaultLanguageIndex = 11;
const char* const kDefaultFontName = "Arial CYR";
}

void TSDIAppForm::FormCreate()
{
    const int languageIndex = kDefaultLanguageIndex;
    const QString fontName = QString::fromUtf8(kDefaultFontName);

    for (const QString& family : InstalledFontFamilies())
        ComboBox1->AddItem(family);
    ComboBox2->SetItemIndex(languageIndex);
    ApplyLanguageCharset();
    ComboBox1->SetText(fontName);
    SetControlFontName(lastFindWord, ComboBox1->Text());
    NewDocument();
    Edit1Click();
}

void TSDIAppForm::FormCloseQuery(bool& canClose)
{
    canClose = true;
    if (!RichEdit1->Modified())
        return;
    switch (MessageBox(this, QString::fromUtf8("ドキュメントの変更を保存しますか?"),
                       QString::fromUtf8("確認"), MB_YESNOCANCEL)) {
    case IDYES:
        FileSave1Execute();
        canClose = !RichEdit1->Modified();
        break;
    case IDNO:
        break;
    default:
        canClose = false;
        break;
    }
}

void TSDIAppForm::FormClose()
{
}

void TSDIAppForm::FormResize()
{
    UpdateFormattingRect();
}
