#include "platform/forms/Actions.h"

#include "platform/forms/HandlerBoundary.h"
#include "platform/forms/ImageList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

QString ShortHint(const QString& hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString LongHint(const QString& hint)
{
    const int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

TAction::TAction(QWidget* form, const QString& name)
    : QAction(form), form_(form)
{
    setObjectName(name);
    setShortcutContext(Qt::ApplicationShortcut);
    form->addAction(this);
    connect(this, &QAction::triggered, this, [this]() { Execute(); });
}

void TAction::SetHint(const QString& hint)
{
    Hint = hint;
    setToolTip(ShortHint(hint));
    setStatusTip(LongHint(hint));
}

void TAction::SetShortCut(const QKeySequence& shortcut)
{
    setShortcut(shortcut);
}

void TAction::Execute()
{
    if (OnExecute)
        RunHandler(form_, OnExecute);
}

TActionList::TActionList(QWidget* form)
    : QObject(form), form_(form)
{
    setObjectName(QStringLiteral("ActionList1"));
    qApp->installEventFilter(this);
}

TActionList::~TActionList()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

TAction* TActionList::Add(const QString& name)
{
    auto* action = new TAction(form_, name);
    actions_.push_back(action);
    return action;
}

TAction* TActionList::Find(const QString& name) const
{
    for (TAction* action : actions_)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

void TActionList::SetImages(const TImageList* images)
{
    for (TAction* action : actions_)
        if (action->ImageIndex >= 0)
            action->setIcon(images->Icon(action->ImageIndex));
}

QAction* TActionList::AddFormShortcut(const QString& name, const QKeySequence& key,
                                      const std::function<void()>& handler)
{
    auto* shortcut = new QAction(form_);
    shortcut->setObjectName(name);
    shortcut->setShortcut(key);
    shortcut->setShortcutContext(Qt::ApplicationShortcut);
    form_->addAction(shortcut);
    QWidget* form = form_;
    connect(shortcut, &QAction::triggered, form_, [form, handler]() { RunHandler(form, handler); });
    return shortcut;
}

bool TActionList::IsFormShortcut(const QKeySequence& key) const
{
    const QList<QAction*> formActions = form_->actions();
    for (const QAction* action : formActions)
        for (const QKeySequence& bound : action->shortcuts())
            if (bound.matches(key) == QKeySequence::ExactMatch)
                return true;
    return false;
}

bool TActionList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != form_)
        return false;
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = keyEvent->modifiers() & ~Qt::KeypadModifier;
    const QKeySequence key(QKeyCombination(modifiers, Qt::Key(keyEvent->key())));
    if (!IsFormShortcut(key))
        return false;
    if (ControlKeepsKey && ControlKeepsKey(widget, key))
        return false;
    // Swallow the override request unaccepted: the shortcut then goes to the form.
    event->ignore();
    return true;
}
