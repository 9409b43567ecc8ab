#pragma once
// The foreign-language search dialog: a modeless window above the others where the
// search text is typed in the chosen language's script and font. Each showing loads
// the last search from the main window's hidden controls; each close stores it back.
#include "platform/forms/Forms.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TRadioGroup;

class TFindDlg : public TDialogForm {
    Q_OBJECT
public:
    TFindDlg();

    TEdit* Edit1 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TButton* btnFind = nullptr;
    TLabel* Label1 = nullptr;
    TCheckBox* chMatchCase = nullptr;
    TCheckBox* chWholeWord = nullptr;
    TLabel* Label2 = nullptr;
    TRadioGroup* grDown = nullptr;
    TButton* Cancel = nullptr;
    TComboBox* ComboBox2 = nullptr;
    TLabel* Label3 = nullptr;

    void ComboBox1Click();
    void FormCreate() override;
    void btnFindClick();
    void ComboBox2Click();
    void CancelClick();
    void Edit1Change();
    void FormClose() override;
    void FormShow() override;

    void ApplyFontName();
    void ApplyLanguageCharset();
    void UpdateFindButton();
};

extern TFindDlg* FindDlg;
