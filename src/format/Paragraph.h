#pragma once
// The paragraph dialog: the first, left and right indents in inches.
#include "platform/forms/Forms.h"

class TButton;
class TEdit;
class TLabel;
class QFrame;

class TSetParagraph : public TDialogForm {
    Q_OBJECT
public:
    TSetParagraph();

    QFrame* Bevel1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* Edit1 = nullptr;
    TEdit* Edit2 = nullptr;
    TEdit* Edit3 = nullptr;
    TButton* OKBtn = nullptr;
    TButton* CancelBtn = nullptr;

    // One message per box that holds no number, in box order; the dialog then stays open.
    void OKBtnClick();
};

extern TSetParagraph* SetParagraph;
