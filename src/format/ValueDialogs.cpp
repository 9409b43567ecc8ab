#include "format/ValueDialogs.h"

#include "platform/forms/Controls.h"
#include "platform/forms/DialogLayout.h"
#include "platform/system/Fonts.h"
#include "platform/forms/Forms.h"
#include "platform/forms/MessageBox.h"
#include "platform/text/Numbers.h"

void LayOutValueDialog(TDialogForm* dialog, QFrame* values, TButton*& ok, TButton*& cancel)
{
    const QString face = PGothicFace();
    ok = new TButton(dialog, QStringLiteral("OKBtn"), QStringLiteral("OK"));
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
    cancel = new TButton(dialog, QStringLiteral("CancelBtn"), QString::fromUtf8("キャンセル"));
    cancel->ModalResult = mrCancel;
    cancel->SetCancel(true);
    for (TButton* button : {ok, cancel})
        SetControlFont(button, face, -13, SHIFTJIS_CHARSET);
    LayOutBodyAndButtonColumn(dialog, values, {ok, cancel}, QSize(75, 25));
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
