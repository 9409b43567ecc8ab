#pragma once
// Menus. A menu item bound to an action shows the action's caption, hint, image and
// shortcut and runs it, but has an enabled state of its own. An item with a shortcut
// of its own registers that shortcut on its form.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <functional>

class TAction;
class TActionList;

class TMenuItem : public QAction {
    Q_OBJECT
public:
    TMenuItem(QMenu* menu, const QString& name);

    // Takes the action's caption, hint, image and shortcut; a click runs the action.
    void SetAction(TAction* action);
    TAction* Action() const { return action_; }

    void SetCaption(const QString& caption);
    void SetHint(const QString& hint);
    // A shortcut of the item itself: shown beside its caption and bound on the form
    // through actions, so that it works whatever the item's enabled state.
    void SetShortCut(const QKeySequence& shortcut, TActionList* formActions);
    QKeySequence ShortCut() const { return shortcut_; }
    QString Caption() const { return caption_; }
    QString Hint() const { return hint_; }

    std::function<void()> OnClick;

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

private:
    void UpdateText();
    void Click();

    TAction* action_ = nullptr;
    QString caption_;
    QString hint_;
    QKeySequence shortcut_;
};

// A drop-down or context menu whose OnPopup runs each time it opens, before it shows.
class TPopupMenu : public QMenu {
    Q_OBJECT
public:
    TPopupMenu(QWidget* parent, const QString& name, const QString& title = QString());

    TMenuItem* AddItem(const QString& name);
    void AddSeparator(const QString& name);

    // Opens the menu at a global position, as a context menu.
    void Popup(const QPoint& globalPos);

    std::function<void()> OnPopup;
};
