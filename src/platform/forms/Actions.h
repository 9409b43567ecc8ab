#pragma once
// Commands of a form. An action carries caption, category, hint, image, shortcut and
// handler; menu items and toolbar buttons bound to it show those and run it, but keep
// their own enabled state. Actions themselves are never disabled, so their shortcuts
// work whatever state the bound items are in. The main form's shortcuts also work from
// its modeless windows (not through a modal dialog); edit controls there keep the
// keys they edit with.
#include <QAction>
#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

class TImageList;

// The two halves of a hint "short|long"; a hint without "|" serves as both.
QString ShortHint(const QString& hint);
QString LongHint(const QString& hint);

class TAction : public QAction {
    Q_OBJECT
public:
    TAction(QWidget* form, const QString& name);

    QString Category;
    QString Hint;
    int ImageIndex = -1;
    std::function<void()> OnExecute;

    void SetCaption(const QString& caption) { setText(caption); }
    QString Caption() const { return text(); }
    void SetHint(const QString& hint);
    void SetShortCut(const QKeySequence& shortcut);
    QKeySequence ShortCut() const { return shortcut(); }

    // Runs the handler through the handler boundary; nothing happens without one.
    void Execute();

private:
    QWidget* form_;
};

// The ordered action list of a form. It also keeps edit controls of the form from
// swallowing the form's shortcuts (a text edit would otherwise claim Ctrl+C, Ctrl+A,
// Del ... for itself and the command's handler would never run).
class TActionList : public QObject {
    Q_OBJECT
public:
    explicit TActionList(QWidget* form);
    ~TActionList() override;

    TAction* Add(const QString& name);
    const std::vector<TAction*>& Actions() const { return actions_; }
    TAction* Find(const QString& name) const;
    void SetImages(const TImageList* images);

    // Decides, for a shortcut key pressed in a control of the form, that the control
    // keeps the key instead of the command (for example Del with nothing selected).
    std::function<bool(QWidget* focus, const QKeySequence& key)> ControlKeepsKey;

    // Registers a shortcut of the form that is not an action's (a menu item's own).
    QAction* AddFormShortcut(const QString& name, const QKeySequence& key,
                             const std::function<void()>& handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsFormShortcut(const QKeySequence& key) const;

    QWidget* form_;
    std::vector<TAction*> actions_;
};
