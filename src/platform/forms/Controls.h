#pragma once
// Basic controls with the properties the windows are written against: text, items,
// selected index (-1 for none), check state, radio index, captions and buttons that
// give their form a modal result.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <functional>
#include <vector>

class QRadioButton;

class TEdit : public QLineEdit {
    Q_OBJECT
public:
    TEdit(QWidget* parent, const QString& name);
    QString Text() const { return text(); }
    void SetText(const QString& value) { setText(value); }
    // Runs on every change of the text, by the user or the program.
    std::function<void()> OnChange;
};

// An editable drop-down list: free text plus a list of items.
class TComboBox : public QComboBox {
    Q_OBJECT
public:
    TComboBox(QWidget* parent, const QString& name);

    QStringList Items() const;
    void SetItems(const QStringList& items);
    void AddItem(const QString& item) { addItem(item); }
    // -1 when nothing is selected.
    int ItemIndex() const { return currentIndex(); }
    // An index outside the items selects nothing (and clears the text).
    void SetItemIndex(int index);
    QString Text() const { return currentText(); }
    void SetText(const QString& value) { setEditText(value); }
    // Runs when the user picks an entry of the list (not while typing).
    std::function<void()> OnClick;
    // Widens the box, if need be, so that each of its items shows whole when chosen.
    void FitWidestItem();

protected:
    // The list drops down wide enough for its longest entry, however narrow the box.
    void showPopup() override;
};

class TCheckBox : public QCheckBox {
    Q_OBJECT
public:
    TCheckBox(QWidget* parent, const QString& name, const QString& caption = QString());
    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }
};

// A framed group of radio buttons addressed by index; -1 when none is chosen.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(QWidget* parent, const QString& name, const QString& caption,
                const QStringList& items);
    int ItemIndex() const;
    void SetItemIndex(int index);
    QStringList Items() const;

private:
    std::vector<QRadioButton*> buttons_;
};

// A caption; "&" marks the accelerator letter, shown underlined.
class TLabel : public QLabel {
    Q_OBJECT
public:
    TLabel(QWidget* parent, const QString& name, const QString& caption = QString());
    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }

private:
    QString caption_;
};

// A panel with a lowered or raised bevel.
class TPanel : public QFrame {
    Q_OBJECT
public:
    TPanel(QWidget* parent, const QString& name, bool lowered);
};

// A push button. A non-zero ModalResult is given to its dialog before OnClick runs;
// the dialog then closes with it unless OnClick sets the dialog's result back to 0.
class TButton : public QPushButton {
    Q_OBJECT
public:
    TButton(QWidget* parent, const QString& name, const QString& caption);

    int ModalResult = 0;
    std::function<void()> OnClick;
    // Enter presses the default button; Esc presses the cancel button.
    void SetDefault(bool isDefault);
    void SetCancel(bool isCancel);

private:
    void Clicked();
};
