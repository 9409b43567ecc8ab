#pragma once
// The file a desktop hands the program at start: `tesserine FILE`.
#include <QString>
#include <QStringList>

class TSDIAppForm;

// The file to open of the command line's arguments (the program's name first), as an
// absolute path; empty when there is none. Options are left out (after "--" a name may
// begin with "-"); a file: URL gives its local path. Names after the first are listed in *ignored.
QString StartupFileOf(const QStringList& arguments, QStringList* ignored = nullptr);

// The recovery set an instance was started to restore (`tesserine --recover ID`, as an
// instance starts another for a second recovered document); empty otherwise.
QString RecoverySetOf(const QStringList& arguments);

// Once the event loop runs and the main window is shown: first offers the documents of
// instances that ended without saving them (nothing is asked when there are none),
// then opens the file named by the arguments, if any, the way a file dropped on the
// window opens; a file that cannot be read is reported in a message box and the empty
// document stays. An instance started with --recover restores that set instead.
void OpenStartupFile(TSDIAppForm* form, const QStringList& arguments);
