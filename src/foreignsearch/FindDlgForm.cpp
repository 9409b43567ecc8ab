#include "foreignsearch/FindDlgForm.h"

#include "platform/Fonts.h"

TFindDlg* FindDlg = nullptr;

TFindDlg::TFindDlg()
    : TDialogForm(nullptr, QStringLiteral("FindDlg"))
{
    setWindowTitle(QString::fromUtf8("検索"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFont(FrameworkFont(QString::fromUtf8("ＭＳ Ｐゴシック"), -12));
    move(420, 260);
    resize(502, 137);
}
