#pragma once
// The foreign-language search dialog: a modeless window above the others.
#include "platform/Forms.h"

class TFindDlg : public TDialogForm {
    Q_OBJECT
public:
    TFindDlg();
};

extern TFindDlg* FindDlg;
