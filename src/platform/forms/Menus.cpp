#include "platform/forms/Menus.h"

#include "platform/forms/Actions.h"
#include "platform/forms/HandlerBoundary.h"

TMenuItem::TMenuItem(QMenu* menu, const QString& name)
    : QAction(menu)
{
    setObjectName(name);
    menu->addAction(this);
    connect(this, &QAction::triggered, this, [this]() { Click(); });
}

void TMenuItem::SetAction(TAction* action)
{
    action_ = action;
    caption_ = action->Caption();
    shortcut_ = action->ShortCut();
    SetHint(action->Hint);
    setIcon(action->icon());
    UpdateText();
}

void TMenuItem::SetCaption(const QString& caption)
{
    caption_ = caption;
    UpdateText();
}

void TMenuItem::SetHint(const QString& hint)
{
    hint_ = hint;
    setToolTip(ShortHint(hint));
    setStatusTip(LongHint(hint));
}

void TMenuItem::SetShortCut(const QKeySequence& shortcut, TActionList* formActions)
{
    shortcut_ = shortcut;
    UpdateText();
    formActions->AddFormShortcut(objectName() + QStringLiteral("ShortCut"), shortcut,
                                 [this]() { Click(); });
}

void TMenuItem::UpdateText()
{
    // The shortcut is shown after a tab; the item itself binds no key, so a disabled
    // item does not take the key away from its action.
    QString text = caption_;
    if (!shortcut_.isEmpty())
        text += QLatin1Char('\t') + shortcut_.toString(QKeySequence::NativeText);
    setText(text);
}

void TMenuItem::Click()
{
    if (action_) {
        action_->Execute();
        return;
    }
    if (!OnClick)
        return;
    auto* owner = qobject_cast<QWidget*>(parent());
    RunHandler(owner ? owner->window() : nullptr, OnClick);
}

TPopupMenu::TPopupMenu(QWidget* parent, const QString& name, const QString& title)
    : QMenu(title, parent)
{
    setObjectName(name);
    menuAction()->setObjectName(name);
    connect(this, &QMenu::aboutToShow, this, [this]() {
        if (OnPopup)
            RunHandler(parentWidget() ? parentWidget()->window() : nullptr, OnPopup);
    });
}

TMenuItem* TPopupMenu::AddItem(const QString& name)
{
    return new TMenuItem(this, name);
}

void TPopupMenu::AddSeparator(const QString& name)
{
    addSeparator()->setObjectName(name);
}

void TPopupMenu::Popup(const QPoint& globalPos)
{
    popup(globalPos);
}
