#include "format/PageWidth.h"

#include "format/ValueDialogs.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DialogLayout.h"
#include "platform/system/Fonts.h"

TSetPageWidth* SetPageWidth = nullptr;

TSetPageWidth::TSetPageWidth()
    : TDialogForm(nullptr, QStringLiteral("SetPageWidth"))
{
    setWindowTitle(QString::fromUtf8("ページの幅"));
    setFont(FrameworkFont(QStringLiteral("MS Sans Serif"), -11));
    CentredOnScreen = true;
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Label1 = new TLabel(Bevel1, QStringLiteral("Label1"), QString::fromUtf8("ページの幅："));
    SetControlFont(Label1, PGothicFace(), -13, SHIFTJIS_CHARSET);
    Edit1 = new TEdit(Bevel1, QStringLiteral("Edit1"));
    LayOutCaptionRows(Bevel1, {{Label1, Edit1}}, QSize(281, 65), 85);
    LayOutValueDialog(this, Bevel1, OKBtn, CancelBtn);
    OKBtn->OnClick = [this]() { OKBtnClick(); };
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, Edit1);
}

void TSetPageWidth::OKBtnClick()
{
    CheckNumberBox(this, Edit1, QStringLiteral("Invalid Page Width"));
}
