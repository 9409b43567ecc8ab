#pragma once
// Modal message boxes with the classic button sets, icons and return codes.
#include <QString>
#include <QStringList>

class QWidget;

enum MessageBoxFlags {
    // Button sets.
    MB_OK = 0,
    MB_YESNOCANCEL = 3,
    MB_YESNO = 4,
    // Icons; one may be added to a button set.
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

enum MessageBoxResult {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

// Shows text under caption, owned by owner (or the active window when owner is null).
// MB_YESNOCANCEL returns IDYES, IDNO or IDCANCEL (Esc and the close box give IDCANCEL);
// MB_YESNO returns IDYES or IDNO, No being the default and what Esc and the close box
// give; MB_OK returns IDOK however the box is dismissed. Without an icon flag the box
// shows the icon of its kind: a question for Yes/No, a warning for a box that only
// reports (every OK box of this program tells of a problem). The box is wide enough
// for the window manager to show its whole caption.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, int flags);

// Shows text under caption with a question icon and one button per caption, in
// order; returns the index of the button pressed. defaultButton is the one Enter
// presses, escapeButton what Esc and the close box give.
int MessageBoxChoice(QWidget* owner, const QString& text, const QString& caption, const QStringList& buttons,
                     int defaultButton, int escapeButton);
