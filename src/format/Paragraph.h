#pragma once
// The paragraph-indent dialog.
#include "platform/Forms.h"

class TSetParagraph : public TDialogForm {
    Q_OBJECT
public:
    TSetParagraph();
};

extern TSetParagraph* SetParagraph;
