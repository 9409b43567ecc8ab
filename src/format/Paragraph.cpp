#include "format/Paragraph.h"

#include "format/ValueDialogs.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DialogLayout.h"
#include "platform/system/Fonts.h"

TSetParagraph* SetParagraph = nullptr;

TSetParagraph::TSetParagraph()
    : TDialogForm(nullptr, QStringLiteral("SetParagraph"))
{
    setWindowTitle(QString::fromUtf8("段落の書式設定"));
    setFont(FrameworkFont(QStringLiteral("MS Sans Serif"), -11));
    CentredOnScreen = true;
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    struct Row { TLabel** label; TEdit** edit; const char* name; const char* editName; const char* caption; };
    const Row rows[] = {
        {&Label1, &Edit1, "Label1", "Edit1", "最初のインデント"},
        {&Label2, &Edit2, "Label2", "Edit2", "左のインデント"},
        {&Label3, &Edit3, "Label3", "Edit3", "右のインデント"},
    };
    std::vector<std::pair<QWidget*, QWidget*>> captionRows;
    for (const Row& row : rows) {
        *row.label = new TLabel(Bevel1, QString::fromLatin1(row.name), QString::fromUtf8(row.caption));
        SetControlFont(*row.label, PGothicFace(), -13, SHIFTJIS_CHARSET);
        *row.edit = new TEdit(Bevel1, QString::fromLatin1(row.editName));
        captionRows.emplace_back(*row.label, *row.edit);
    }
    LayOutCaptionRows(Bevel1, captionRows, QSize(265, 121), 98);
    LayOutValueDialog(this, Bevel1, OKBtn, CancelBtn);
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
