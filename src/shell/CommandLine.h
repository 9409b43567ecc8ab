#pragma once
// What the command line asks of the program: `tesserine [--recover ID] [--] [FILE]`,
// or `--help` / `--version`.
#include <QString>
#include <QStringList>

struct TCommandLine {
    enum class Action { Start, ShowHelp, ShowVersion, Fail };
    Action action = Action::Start;
    // For Fail: the message for stderr, naming the option that is not understood.
    QString error;
    // The names given, as given (after a "--" a name may begin with "-").
    QStringList files;
    // The recovery set an instance was started to restore.
    QString recoverySet;
};

// Reads arguments (the program's name first). Qt's own options (-platform, -style, ...)
// must already be gone, as QApplication removes them.
TCommandLine ParseCommandLine(const QStringList& arguments);

// Prints the help or version, or the error, for a command line that does not start the
// program; returns the process's exit code (0, or 2 for an error).
int AnswerCommandLine(const TCommandLine& commandLine);
