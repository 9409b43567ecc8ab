#pragma once
// The toolbar: buttons bound to actions with their own enabled and pressed state,
// separators, and room for controls that are never shown.
#include <QToolBar>
#include <QToolButton>
#include <functional>

class TAction;

class TToolButton : public QToolButton {
    Q_OBJECT
public:
    TToolButton(QWidget* toolbar, const QString& name);

    // Takes the action's image and hint; a click runs the action.
    void SetAction(TAction* action);
    TAction* Action() const { return action_; }
    // A hint of the button's own, kept in place of its action's.
    void SetHint(const QString& hint);
    QString Hint() const { return hint_; }

    // Check style: the button stays down after a click. Grouped buttons of one group
    // index release each other; AllowAllUp lets a down button be released by a click.
    void SetCheckStyle(bool grouped, bool allowAllUp, int groupIndex = 0);
    bool Down() const { return isChecked(); }
    void SetDown(bool down);

    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }

protected:
    void nextCheckState() override;

private:
    void ReleaseGroup();

    TAction* action_ = nullptr;
    QString hint_;
    bool ownHint_ = false;
    bool grouped_ = false;
    bool allowAllUp_ = false;
    int groupIndex_ = 0;
};

class TToolBar : public QToolBar {
    Q_OBJECT
public:
    // height: outer height in pixels; indent: space before the first button.
    TToolBar(QWidget* form, const QString& name, int height, int indent);

    TToolButton* AddButton(const QString& name);
    void AddSeparator(const QString& name, int width = 8);
    // Parents a control to the toolbar without placing it: it stays hidden at any width.
    void AddHiddenControl(QWidget* control);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int height_;
};
