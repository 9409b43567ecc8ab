#include "platform/forms/DialogLayout.h"

#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

void LayOutCaptionRows(QFrame* frame, const std::vector<std::pair<QWidget*, QWidget*>>& rows,
                       QSize frameSize, int boxWidth)
{
    frame->setMinimumSize(frameSize);
    auto* grid = new QGridLayout(frame);
    const int inset = kControlSpacing + frame->frameWidth() + 2;
    grid->setContentsMargins(inset, inset, inset, inset);
    grid->setHorizontalSpacing(kControlSpacing);
    grid->setVerticalSpacing(kControlSpacing + 4);
    grid->setRowStretch(0, 1);
    int row = 1;
    for (const auto& [caption, box] : rows) {
        box->setMinimumWidth(boxWidth);
        grid->addWidget(caption, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(box, row, 1);
        ++row;
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
}

void LayOutBodyAndButtonColumn(QDialog* dialog, QWidget* body, const std::vector<QWidget*>& buttons,
                               QSize buttonSize)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(kControlSpacing - 3);
    for (QWidget* button : buttons) {
        button->setMinimumSize(buttonSize);
        column->addWidget(button);
    }
    column->addStretch(1);
    auto* layout = new QHBoxLayout(dialog);
    layout->setContentsMargins(kControlSpacing, kControlSpacing, kControlSpacing, kControlSpacing);
    layout->setSpacing(2 * kControlSpacing);
    layout->addWidget(body, 1);
    layout->addLayout(column);
    // A fixed dialog border: the dialog is as large as its contents need, and no larger.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
