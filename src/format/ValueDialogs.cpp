#include "format/ValueDialogs.h"

#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/Forms.h"
#include "platform/MessageBox.h"
#include "platform/Numbers.h"

void AddOkCancelButtons(TDialogForm* dialog, TButton*& ok, TButton*& cancel)
{
    const QString face = QString::fromUtf8("ＭＳ Ｐゴシック");
    ok = new TButton(dialog, QStringLiteral("OKBtn"), QStringLiteral("OK"));
    ok->setGeometry(300, 8, 75, 25);
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
    cancel = new TButton(dialog, QStringLiteral("CancelBtn"), QString::fromUtf8("キャンセル"));
    cancel->setGeometry(300, 38, 75, 25);
    cancel->ModalResult = mrCancel;
    cancel->SetCancel(true);
    for (TButton* button : {ok, cancel})
        SetControlFont(button, face, -13, SHIFTJIS_CHARSET);
}

bool CheckNumberBox(TDialogForm* dialog, const TEdit* box, const QString& message)
{
    try {
        StrToFloat(box->Text());
        return true;
    } catch (const EConvertError&) {
        dialog->SetModalResult(mrNone);
        MessageBox(dialog, message, QStringLiteral("Word Processor"), MB_OK);
        return false;
    }
}
