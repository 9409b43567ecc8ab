#pragma once
// The Open and Save dialogs: Qt's own (non-native) file dialog with a classic filter
// "description|patterns|description|patterns...", matched without regard to case.
#include <QString>

class QWidget;

class TFileDialog {
public:
    TFileDialog(QWidget* owner, const QString& name, bool save);

    QString Filter;
    int FilterIndex = 1;  // 1-based, as the classic dialogs count
    // Preset before Execute (a full path selects its folder too); the chosen file after.
    QString FileName;

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
