// Alignment, font, bullets, page width and paragraph indents of the selection.
#include "shell/SDIMain.h"

#include "format/PageWidth.h"
#include "format/Paragraph.h"
#include "platform/forms/Controls.h"
#include "platform/dialogs/FontDialog.h"
#include "platform/text/Numbers.h"
#include "platform/richedit/RichEdit.h"
#include "platform/forms/ToolBar.h"

#include <cmath>
#include <limits>

namespace {

// Truncates toward zero; values beyond the 32-bit range saturate, NaN gives 0.
int TruncateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

} // namespace

void TSDIAppForm::UpdateFormattingRect()
{
    if (!RichEdit1)
        return;
    const int right = TruncateToInt(PageWidthInches * PixelsPerInch());
    RichEdit1->SetFormattingRect(10, 10, right, RichEdit1->ClientHeight() - 20);
}

void TSDIAppForm::FormatAlignLeft1Execute()
{
    RichEdit1->Paragraph().SetAlignment(taLeftJustify);
    RichEdit1SelectionChange();
}

void TSDIAppForm::FormatAlignCenter1Execute()
{
    RichEdit1->Paragraph().SetAlignment(taCenter);
    RichEdit1SelectionChange();
}

void TSDIAppForm::FormatAlignRight1Execute()
{
    RichEdit1->Paragraph().SetAlignment(taRightJustify);
    RichEdit1SelectionChange();
}

void TSDIAppForm::FormatFontExecute()
{
    FontDialog1->Font = RichEdit1->SelAttributes().Font();
    if (FontDialog1->Execute())
        RichEdit1->SelAttributes().Assign(FontDialog1->Font);
}

void TSDIAppForm::FormatBulletsExecute()
{
    TToolButton* bullets = ToolButton(QStringLiteral("UseBullets"));
    bullets->SetDown(!bullets->Down());
    TParaAttributes paragraph = RichEdit1->Paragraph();
    paragraph.SetNumbering(paragraph.Numbering() == nsNone ? nsBullet : nsNone);
    RichEdit1SelectionChange();
}

void TSDIAppForm::FormatPageWidth1Execute()
{
    SetPageWidth->Edit1->SetText(FloatToStr(PageWidthInches));
    if (SetPageWidth->ShowModal() != mrOk)
        return;
    PageWidthInches = StrToFloat(SetPageWidth->Edit1->Text());
    UpdateFormattingRect();
}

void TSDIAppForm::FormatParagraph1Execute()
{
    TParaAttributes paragraph = RichEdit1->Paragraph();
    // Pixels per inch is read anew for every conversion; products are truncated.
    const auto ppi = [this]() { return static_cast<double>(PixelsPerInch()); };
    SetParagraph->Edit1->SetText(FloatToStr(paragraph.FirstIndent() / ppi()));
    SetParagraph->Edit2->SetText(FloatToStr((paragraph.FirstIndent() + paragraph.LeftIndent()) / ppi()));
    SetParagraph->Edit3->SetText(FloatToStr(paragraph.RightIndent() / ppi()));
    if (SetParagraph->ShowModal() != mrOk)
        return;
    paragraph.SetFirstIndent(TruncateToInt(StrToFloat(SetParagraph->Edit1->Text()) * ppi()));
    const int left = TruncateToInt(StrToFloat(SetParagraph->Edit2->Text()) * ppi());
    paragraph.SetLeftIndent(left - paragraph.FirstIndent());
    paragraph.SetRightIndent(TruncateToInt(StrToFloat(SetParagraph->Edit3->Text()) * ppi()));
}
