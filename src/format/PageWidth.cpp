#include "format/PageWidth.h"

#include "format/ValueDialogs.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"

TSetPageWidth* SetPageWidth = nullptr;

TSetPageWidth::TSetPageWidth()
    : TDialogForm(nullptr, QStringLiteral("SetPageWidth"))
{
    setWindowTitle(QString::fromUtf8("ページの幅"));
    setFont(FrameworkFont(QStringLiteral("MS Sans Serif"), -11));
    setFixedSize(384, 80);
    CentredOnScreen = true;
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(2, 8, 281, 65);
    Label1 = new TLabel(this, QStringLiteral("Label1"), QString::fromUtf8("ページの幅："));
    SetControlFont(Label1, QString::fromUtf8("ＭＳ Ｐゴシック"), -13, SHIFTJIS_CHARSET);
    Label1->setGeometry(13, 33, std::max(69, Label1->sizeHint().width()), 13);
    Edit1 = new TEdit(this, QStringLiteral("Edit1"));
    Edit1->setGeometry(104, 29, 85, 21);
    AddOkCancelButtons(this, OKBtn, CancelBtn);
    OKBtn->OnClick = [this]() { OKBtnClick(); };
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, Edit1);
}

void TSetPageWidth::OKBtnClick()
{
    CheckNumberBox(this, Edit1, QStringLiteral("Invalid Page Width"));
}
