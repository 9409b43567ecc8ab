#pragma once
// Key rules of the edit controls beside the window's shortcuts.
#include <QKeySequence>

class QWidget;

// True when an edit control keeps a key that is also a command's shortcut: Del with
// nothing selected deletes the next character instead of running Delete (which would
// do nothing).
bool EditControlKeepsKey(QWidget* focus, const QKeySequence& key);
