#pragma once
// The boundary between the event loop and the program's handlers: a failure that a
// handler does not catch is shown in a message box instead of ending the program.
#include <functional>

class QWidget;

// Runs handler; an exception escaping it is reported to the user in a message box
// owned by owner, and RunHandler returns normally. Returns false when it failed.
bool RunHandler(QWidget* owner, const std::function<void()>& handler);

// Runs handler as RunHandler does once the event loop gets to it, after the event
// being handled now; nothing is run when owner is gone by then.
void PostHandler(QWidget* owner, std::function<void()> handler);
