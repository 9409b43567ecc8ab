#include "platform/forms/Forms.h"

#include "platform/forms/HandlerBoundary.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <algorithm>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace {
// Outer frame of a classic desktop window, used until the real frame is known.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 31;
}

int PixelsPerInchOf(const QWidget* widget)
{
    return widget->logicalDpiY();
}

TMainForm::TMainForm(const QString& name)
{
    setObjectName(name);
}

void TMainForm::SetOuterBounds(int left, int top, int width, int height)
{
    move(left, top);
    resize(std::max(1, width - kFrameWidth), std::max(1, height - kFrameHeight));
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    // A close query that fails keeps the window open: nothing may be lost unasked.
    if (!RunHandler(this, [this, &canClose]() { FormCloseQuery(canClose); }) || !canClose) {
        event->ignore();
        return;
    }
    // A failing close handler is reported, and the window still closes.
    RunHandler(this, [this]() { FormClose(); });
    event->accept();
    Q_EMIT Closed();
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    RunHandler(this, [this]() { FormResize(); });
}

TDialogForm::TDialogForm(QWidget* owner, const QString& name)
    : QDialog(owner)
{
    setObjectName(name);
}

int TDialogForm::ShowModal()
{
    modalResult_ = mrNone;
    shownModal_ = true;
    setModal(true);
    if (CentredOnScreen)
        CenterOnScreen();
    exec();
    shownModal_ = false;
    setModal(false);
    return modalResult_ == mrNone ? mrCancel : modalResult_;
}

bool TDialogForm::RunCloseQuery()
{
    bool canClose = true;
    RunHandler(this, [this, &canClose]() { FormCloseQuery(canClose); });
    if (!canClose)
        return false;
    RunHandler(this, [this]() { FormClose(); });
    return true;
}

void TDialogForm::CloseModal()
{
    if (!RunCloseQuery()) {
        modalResult_ = mrNone;
        return;
    }
    done(modalResult_);
}

void TDialogForm::Show()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    if (CentredOnScreen)
        CenterOnScreen();
    show();
    raise();
    activateWindow();
}

void TDialogForm::CenterOnScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // A dialog sized by its layout knows its size only once the layout has run.
    if (layout())
        layout()->activate();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TDialogForm::reject()
{
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        if (button->property(kCancelButtonProperty).toBool() && button->isEnabled()) {
            button->click();
            return;
        }
}

void TDialogForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        RunHandler(this, [this]() { FormShow(); });
}

void TDialogForm::closeEvent(QCloseEvent* event)
{
    if (shownModal_)
        modalResult_ = mrCancel;
    if (!RunCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    done(modalResult_);
}
