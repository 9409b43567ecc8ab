#pragma once
// The page-width dialog: one box with the width in inches.
#include "platform/forms/Forms.h"

class TButton;
class TEdit;
class TLabel;
class QFrame;

class TSetPageWidth : public TDialogForm {
    Q_OBJECT
public:
    TSetPageWidth();

    QFrame* Bevel1 = nullptr;
    TLabel* Label1 = nullptr;
    TEdit* Edit1 = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // Keeps the dialog open with a message when the box holds no number.
    void OKBtnClick();
};

extern TSetPageWidth* SetPageWidth;
