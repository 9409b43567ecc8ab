#pragma once
// The page-width dialog.
#include "platform/Forms.h"

class TSetPageWidth : public TDialogForm {
    Q_OBJECT
public:
    TSetPageWidth();
};

extern TSetPageWidth* SetPageWidth;
