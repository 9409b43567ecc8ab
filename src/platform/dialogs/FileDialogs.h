#pragma once
// The Open and Save dialogs: Qt's own (non-native) file dialog with a classic filter
// "description|patterns|description|patterns...", matched without regard to case.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QWidget;

// A choice the program adds to a file dialog, under the file type: a labelled list.
struct TFileDialogChoice {
    QString Name;     // object name of its combo box
    QString Caption;  // the label; "&" marks its mnemonic
    QStringList Items;
    int ItemIndex = 0;  // preset before Execute; the user's choice after a confirmed one
};

class TFileDialog {
public:
    TFileDialog(QWidget* owner, const QString& name, bool save);

    QString Filter;
    int FilterIndex = 1;  // 1-based, as the classic dialogs count
    // Preset before Execute (a full path selects its folder too); the chosen file after.
    QString FileName;
    // Extra choices shown in the dialog, in order.
    std::vector<TFileDialogChoice> Choices;
    // Whether the choices apply to the file name in the dialog's name box; they are
    // disabled while it says no. Always enabled when not set.
    std::function<bool(const QString& fileName)> ChoicesApplyTo;

    // Shows the dialog modally; true when the user confirmed a file. The Save dialog
    // asks before replacing an existing file.
    bool Execute();

private:
    QWidget* owner_;
    QString name_;
    bool save_;
    QString directory_;
};

// "*.TXT" -> "*.[tT][xX][tT]", "*.*" -> "*": the patterns Qt needs to match the
// classic ones on a case-sensitive file system.
QString CaseInsensitivePattern(const QString& pattern);
// The Qt name filters of a classic filter string; each shows only its description.
QStringList NameFiltersOf(const QString& classicFilter);
