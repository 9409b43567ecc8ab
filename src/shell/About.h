#pragma once
// The About box: product name, version, release date and copyright.
#include "platform/forms/Forms.h"

class TButton;
class TLabel;
class TPanel;

class TAboutBox : public TDialogForm {
    Q_OBJECT
public:
    TAboutBox();

    TPanel* Panel1 = nullptr;
    TLabel* ProgramIcon = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* ProductName = nullptr;
    TLabel* Version = nullptr;
    TLabel* Copyright = nullptr;
    TButton* OKButton = nullptr;
};

// "Version <number> <yyyy/mm/dd>" for the running build.
QString AboutVersionText();

extern TAboutBox* AboutBox;
