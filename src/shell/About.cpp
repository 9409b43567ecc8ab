#include "shell/About.h"

#include "BuildInfo.h"
#include "platform/forms/Controls.h"
#include "platform/system/Fonts.h"
#include "platform/forms/ImageList.h"

#include <QPalette>

TAboutBox* AboutBox = nullptr;

QString AboutVersionText()
{
    return QStringLiteral("Version %1 %2")
        .arg(QStringLiteral(TESSERINE_VERSION), QStringLiteral(TESSERINE_RELEASE_DATE));
}

namespace {

TLabel* PlaceLabel(QWidget* parent, const QString& name, const QString& text, int left, int top)
{
    auto* label = new TLabel(parent, name, text);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

TAboutBox::TAboutBox()
    : TDialogForm(nullptr, QStringLiteral("AboutBox"))
{
    setWindowTitle(QString::fromUtf8("バージョン情報"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFont(FrameworkFont(PGothicFace(), -11));
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    setPalette(palette);
    setFixedSize(273, 200);
    CentredOnScreen = true;

    Panel1 = new TPanel(this, QStringLiteral("Panel1"), true);
    Panel1->setGeometry(7, 7, 258, 148);

    ProgramIcon = new TLabel(Panel1, QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(24, 32, 41, 41);
    ProgramIcon->setPixmap(IconFromSvg(QStringLiteral(":/icons/tesserine.svg"), {32}).pixmap(32, 32));
    ProgramIcon->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Label1 = PlaceLabel(Panel1, QStringLiteral("Label1"),
                        QString::fromUtf8("多国語シンプルテキストエディタ"), 72, 16);
    ProductName = new TLabel(Panel1, QStringLiteral("ProductName"), QStringLiteral("Tesserine"));
    ProductName->setFont(FrameworkFont(QStringLiteral("Times New Roman"), -37));
    ProductName->move(73, 31);
    ProductName->adjustSize();
    Version = new TLabel(Panel1, QStringLiteral("Version"), AboutVersionText());
    Version->setFont(FrameworkFont(QStringLiteral("Times New Roman"), -21));
    Version->move(25, 85);
    Version->adjustSize();
    Copyright = new TLabel(Panel1, QStringLiteral("Copyright"),
                           QStringLiteral("Copyright (C) 2026 Orvalde"));
    Copyright->setFont(FrameworkFont(QStringLiteral("Arial"), -12));
    Copyright->move(15, 121);
    Copyright->adjustSize();

    OKButton = new TButton(this, QStringLiteral("OKButton"), QStringLiteral("OK"));
    OKButton->setGeometry(110, 163, 60, 30);
    OKButton->ModalResult = mrOk;
    OKButton->SetDefault(true);
    OKButton->setFocus();
}
