#include "platform/dialogs/FindReplaceDialogs.h"

#include "platform/forms/HandlerBoundary.h"
#include "platform/text/Utf8Literal.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget* owner, const QString& name, bool replace)
    : QDialog(owner)
{
    setObjectName(name);
    setWindowTitle(replace ? U("置換") : U("検索"));
    setModal(false);

    auto* grid = new QGridLayout;
    auto* findLabel = new QLabel(U("検索する文字列(&N):"), this);
    findEdit_ = new QLineEdit(this);
    findEdit_->setObjectName(QStringLiteral("FindText"));
    findLabel->setBuddy(findEdit_);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findEdit_, 0, 1);
    if (replace) {
        auto* replaceLabel = new QLabel(U("置換後の文字列(&P):"), this);
        replaceEdit_ = new QLineEdit(this);
        replaceEdit_->setObjectName(QStringLiteral("ReplaceText"));
        replaceLabel->setBuddy(replaceEdit_);
        grid->addWidget(replaceLabel, 1, 0);
        grid->addWidget(replaceEdit_, 1, 1);
    }

    wholeWord_ = new QCheckBox(U("単語単位で探す(&W)"), this);
    wholeWord_->setObjectName(QStringLiteral("WholeWord"));
    matchCase_ = new QCheckBox(U("大文字と小文字を区別する(&C)"), this);
    matchCase_->setObjectName(QStringLiteral("MatchCase"));
    auto* options = new QVBoxLayout;
    options->addWidget(wholeWord_);
    options->addWidget(matchCase_);
    auto* optionRow = new QHBoxLayout;
    optionRow->addLayout(options);
    if (!replace) {
        auto* direction = new QGroupBox(U("方向"), this);
        up_ = new QRadioButton(U("上へ(&U)"), direction);
        up_->setObjectName(QStringLiteral("Up"));
        down_ = new QRadioButton(U("下へ(&D)"), direction);
        down_->setObjectName(QStringLiteral("Down"));
        down_->setChecked(true);
        auto* directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(up_);
        directionLayout->addWidget(down_);
        optionRow->addWidget(direction);
    }
    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(optionRow);
    left->addStretch();

    auto* buttons = new QVBoxLayout;
    findNext_ = new QPushButton(U("次を検索(&F)"), this);
    findNext_->setObjectName(QStringLiteral("FindNext"));
    findNext_->setDefault(true);
    buttons->addWidget(findNext_);
    if (replace) {
        replaceOne_ = new QPushButton(U("置換して次に(&R)"), this);
        replaceOne_->setObjectName(QStringLiteral("Replace"));
        replaceAll_ = new QPushButton(U("すべて置換(&A)"), this);
        replaceAll_->setObjectName(QStringLiteral("ReplaceAll"));
        buttons->addWidget(replaceOne_);
        buttons->addWidget(replaceAll_);
    }
    auto* cancel = new QPushButton(U("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(findEdit_, &QLineEdit::textChanged, this, [this]() { UpdateButtons(); });
    connect(findNext_, &QPushButton::clicked, this, [this]() { Raise(OnFind, frFindNext); });
    if (replace) {
        connect(replaceOne_, &QPushButton::clicked, this, [this]() { Raise(OnReplace, frReplace); });
        connect(replaceAll_, &QPushButton::clicked, this, [this]() { Raise(OnReplace, frReplaceAll); });
    }
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    UpdateButtons();
}

void TFindDialog::Execute()
{
    show();
    raise();
    activateWindow();
    findEdit_->setFocus();
}

QString TFindDialog::FindText() const
{
    return findEdit_->text();
}

void TFindDialog::SetFindText(const QString& text)
{
    findEdit_->setText(text);
}

QString TFindDialog::ReplaceText() const
{
    return replaceEdit_ ? replaceEdit_->text() : QString();
}

int TFindDialog::Options() const
{
    int options = lastButton_;
    // The Replace dialog has no direction: it searches down.
    if (!up_ || down_->isChecked())
        options |= frDown;
    if (wholeWord_->isChecked())
        options |= frWholeWord;
    if (matchCase_->isChecked())
        options |= frMatchCase;
    return options;
}

void TFindDialog::UpdateButtons()
{
    const bool hasText = !findEdit_->text().isEmpty();
    findNext_->setEnabled(hasText);
    if (replaceOne_) {
        replaceOne_->setEnabled(hasText);
        replaceAll_->setEnabled(hasText);
    }
}

void TFindDialog::Raise(const std::function<void()>& handler, int buttonOption)
{
    lastButton_ = buttonOption;
    if (handler)
        RunHandler(this, handler);
}
