#pragma once
// The file a desktop hands the program at start: `tesserine FILE`.
#include <QString>
#include <QStringList>

class TSDIAppForm;

// The file to open of the command line's arguments (the program's name first), as an
// absolute path; empty when there is none. A "--" before it is skipped; a file: URL
// gives its local path. Names after the first are listed in *ignored.
QString StartupFileOf(const QStringList& arguments, QStringList* ignored = nullptr);

// Opens the file named by the arguments, if any, once the event loop runs and the main
// window is shown, the way a file dropped on it opens; a file that cannot be read is
// reported in a message box and the empty document stays. Without a file nothing
// happens.
void OpenStartupFile(TSDIAppForm* form, const QStringList& arguments);
