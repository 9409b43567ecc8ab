#pragma once
// Which shortcut keys an edit control keeps for itself. The main window's action list
// asks before it runs a command for a key; this file depends on no window, so the
// window can ask it without the edit commands and the window depending on each other.
class QKeySequence;
class QWidget;

// True when an edit control keeps a key that is also a command's shortcut: Del with
// nothing selected deletes the next character instead of running Delete (which would
// do nothing).
bool EditControlKeepsKey(QWidget* focus, const QKeySequence& key);
