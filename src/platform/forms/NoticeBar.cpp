#include "platform/forms/NoticeBar.h"

#include "platform/forms/HandlerBoundary.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

TNoticeBar::TNoticeBar(QWidget* parent, const QString& name)
    : QFrame(parent)
{
    setObjectName(name);
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xCE));  // a pale yellow, as an info bar
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);

    // The message and the close button above, the buttons below: the message keeps the
    // window's width however many buttons there are.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 3, 3, 4);
    column->setSpacing(3);
    auto* top = new QHBoxLayout;
    column->addLayout(top);
    message_ = new QLabel(this);
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    top->addWidget(message_, 1);
    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("close"));
    close->setText(QStringLiteral("×"));
    close->setToolTip(QString::fromUtf8("閉じる"));
    close->setAutoRaise(true);
    top->addWidget(close, 0, Qt::AlignTop);
    buttons_ = new QHBoxLayout;
    column->addLayout(buttons_);
    buttons_->addStretch(1);
    connect(close, &QToolButton::clicked, this, [this]() { Close(); });
    hide();
}

void TNoticeBar::Show(const QString& message, const std::vector<Choice>& choices)
{
    Close();
    message_->setText(message);
    for (const Choice& choice : choices) {
        auto* button = new QPushButton(choice.label, this);
        buttons_->insertWidget(buttons_->count() - 1, button);
        const std::function<void()> onClick = choice.onClick;
        // The handler may close the bar and so delete this button: it runs afterwards.
        connect(button, &QPushButton::clicked, this, [this, onClick]() { PostHandler(window(), onClick); });
    }
    show();
}

void TNoticeBar::Close()
{
    hide();
    // Every item but the stretch at the end is a button.
    while (buttons_->count() > 1) {
        QLayoutItem* item = buttons_->takeAt(0);
        if (QWidget* button = item->widget())
            button->deleteLater();
        delete item;
    }
    message_->clear();
}

QString TNoticeBar::Message() const
{
    return message_->text();
}
