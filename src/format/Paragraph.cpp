#include "format/Paragraph.h"

#include "format/ValueDialogs.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"

TSetParagraph* SetParagraph = nullptr;

TSetParagraph::TSetParagraph()
    : TDialogForm(nullptr, QStringLiteral("SetParagraph"))
{
    setWindowTitle(QString::fromUtf8("段落の書式設定"));
    setFont(FrameworkFont(QStringLiteral("MS Sans Serif"), -11));
    setFixedSize(384, 143);
    CentredOnScreen = true;
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 265, 121);
    struct Row { TLabel** label; TEdit** edit; const char* name; const char* editName; const char* caption; int top; };
    const Row rows[] = {
        {&Label1, &Edit1, "Label1", "Edit1", "最初のインデント", 26},
        {&Label2, &Edit2, "Label2", "Edit2", "左のインデント", 59},
        {&Label3, &Edit3, "Label3", "Edit3", "右のインデント", 91},
    };
    for (const Row& row : rows) {
        *row.label = new TLabel(this, QString::fromLatin1(row.name), QString::fromUtf8(row.caption));
        SetControlFont(*row.label, QString::fromUtf8("ＭＳ Ｐゴシック"), -13, SHIFTJIS_CHARSET);
        // The look-alike of the stored face runs wider: move left rather than under the box.
        const int width = std::max(91, (*row.label)->sizeHint().width());
        (*row.label)->setGeometry(std::max(10, std::min(20, 113 - width)), row.top + 3, width, 13);
        *row.edit = new TEdit(this, QString::fromLatin1(row.editName));
        (*row.edit)->setGeometry(117, row.top, 98, 21);
    }
    AddOkCancelButtons(this, OKBtn, CancelBtn);
    OKBtn->OnClick = [this]() { OKBtnClick(); };
    setTabOrder(OKBtn, CancelBtn);
    setTabOrder(CancelBtn, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
}

void TSetParagraph::OKBtnClick()
{
    // Every box is checked, so the user hears of each invalid one in turn.
    CheckNumberBox(this, Edit1, QStringLiteral("Invalid First Indent"));
    CheckNumberBox(this, Edit2, QStringLiteral("Invalid Left Indent"));
    CheckNumberBox(this, Edit3, QStringLiteral("Invalid Right Indent"));
}
