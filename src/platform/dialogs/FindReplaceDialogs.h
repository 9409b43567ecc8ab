#pragma once
// The desktop's Find and Replace dialogs: modeless, in Japanese, raising a find event
// for Find Next and a replace event for Replace and Replace All.
#include "platform/forms/Forms.h"

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

enum FindOption {
    frDown = 1,
    frWholeWord = 2,
    frMatchCase = 4,
    frFindNext = 8,
    frReplace = 16,
    frReplaceAll = 32,
};

class TFindDialog : public QDialog {
    Q_OBJECT
public:
    // replace: the Replace dialog (a replace box and its buttons, no direction).
    TFindDialog(QWidget* owner, const QString& name, bool replace);

    // Shows the dialog modelessly, or brings it to the front; returns at once.
    void Execute();
    QString FindText() const;
    // Fills the find box as a person would type it (the screenshots use it).
    void SetFindText(const QString& text);
    QString ReplaceText() const;
    // The options as a set of FindOption bits; frReplace / frReplaceAll tell which
    // button raised the replace event.
    int Options() const;

    std::function<void()> OnFind;
    std::function<void()> OnReplace;

    QLineEdit* FindEdit() const { return findEdit_; }
    QLineEdit* ReplaceEdit() const { return replaceEdit_; }
    QPushButton* FindNextButton() const { return findNext_; }
    QPushButton* ReplaceButton() const { return replaceOne_; }
    QPushButton* ReplaceAllButton() const { return replaceAll_; }

private:
    void UpdateButtons();
    void Raise(const std::function<void()>& handler, int buttonOption);

    QLineEdit* findEdit_ = nullptr;
    QLineEdit* replaceEdit_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QRadioButton* up_ = nullptr;
    QRadioButton* down_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QPushButton* replaceOne_ = nullptr;
    QPushButton* replaceAll_ = nullptr;
    int lastButton_ = frFindNext;
};
