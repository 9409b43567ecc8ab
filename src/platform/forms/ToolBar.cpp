#include "platform/forms/ToolBar.h"

#include "platform/forms/Actions.h"

#include <QLayout>
#include <QPainter>
#include <QStyleOption>

namespace {

// A fixed-width gap with an etched line, as classic toolbars separate button groups.
class ToolSeparator : public QWidget {
public:
    ToolSeparator(QWidget* parent, int width) : QWidget(parent) { setFixedWidth(width); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }
};

} // namespace

TToolButton::TToolButton(QWidget* toolbar, const QString& name)
    : QToolButton(toolbar)
{
    setObjectName(name);
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setFixedSize(23, 22);
    setIconSize(QSize(16, 16));
    connect(this, &QToolButton::clicked, this, [this]() {
        if (action_)
            action_->Execute();
    });
}

void TToolButton::SetAction(TAction* action)
{
    action_ = action;
    setIcon(action->icon());
    if (!ownHint_) {
        hint_ = action->Hint;
        setToolTip(ShortHint(hint_));
        setStatusTip(LongHint(hint_));
    }
}

void TToolButton::SetHint(const QString& hint)
{
    ownHint_ = true;
    hint_ = hint;
    setToolTip(ShortHint(hint));
    setStatusTip(LongHint(hint));
}

void TToolButton::SetCheckStyle(bool grouped, bool allowAllUp, int groupIndex)
{
    setCheckable(true);
    grouped_ = grouped;
    allowAllUp_ = allowAllUp;
    groupIndex_ = groupIndex;
}

void TToolButton::SetDown(bool down)
{
    setChecked(down);
    if (down)
        ReleaseGroup();
}

void TToolButton::nextCheckState()
{
    if (isChecked()) {
        if (!grouped_ || allowAllUp_)
            setChecked(false);
        return;
    }
    setChecked(true);
    ReleaseGroup();
}

void TToolButton::ReleaseGroup()
{
    if (!grouped_ || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<TToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (TToolButton* other : siblings)
        if (other != this && other->grouped_ && other->groupIndex_ == groupIndex_)
            other->setChecked(false);
}

TToolBar::TToolBar(QWidget* form, const QString& name, int height, int indent)
    : QToolBar(form), height_(height)
{
    setObjectName(name);
    setMovable(false);
    setFloatable(false);
    setFixedHeight(height);
    setIconSize(QSize(16, 16));
    setContextMenuPolicy(Qt::PreventContextMenu);
    // The toolbar's own layout margin plus the indent puts the first button at indent.
    layout()->setContentsMargins(indent, 1, 1, 1);
    layout()->setSpacing(0);
}

TToolButton* TToolBar::AddButton(const QString& name)
{
    auto* button = new TToolButton(this, name);
    addWidget(button)->setObjectName(name + QStringLiteral("Item"));
    return button;
}

void TToolBar::AddSeparator(const QString& name, int width)
{
    auto* separator = new ToolSeparator(this, width);
    separator->setObjectName(name);
    addWidget(separator);
}

void TToolBar::AddHiddenControl(QWidget* control)
{
    control->setParent(this);
    control->hide();
}

QSize TToolBar::sizeHint() const
{
    return QSize(QToolBar::sizeHint().width(), height_);
}

QSize TToolBar::minimumSizeHint() const
{
    return QSize(QToolBar::minimumSizeHint().width(), height_);
}
