#pragma once
// Modal message boxes with the classic button sets and return codes.
#include <QString>

class QWidget;

enum MessageBoxFlags {
    MB_OK = 0,
    MB_YESNOCANCEL = 3,
    MB_YESNO = 4,
};

enum MessageBoxResult {
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7,
};

// Shows text under caption with no icon, owned by owner (or the active window when
// owner is null). MB_YESNOCANCEL returns IDYES, IDNO or IDCANCEL (Esc and the close
// box give IDCANCEL); MB_YESNO returns IDYES or IDNO, No being the default and what Esc
// and the close box give; MB_OK returns IDOK however the box is dismissed.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, int flags);
