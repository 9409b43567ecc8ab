#pragma once
// Pieces the page-width and paragraph dialogs share.
#include <QString>

class QFrame;
class TButton;
class TDialogForm;
class TEdit;

// Lays the dialog out: its frame of values at the left, and in a column at the top right
// an OK (default, result OK) and a Cancel (Esc, result Cancel) button, which it creates.
void LayOutValueDialog(TDialogForm* dialog, QFrame* values, TButton*& ok, TButton*& cancel);

// Checks that an edit box holds a number; if not, keeps the dialog open and shows
// message under "Word Processor". Returns whether it held one.
bool CheckNumberBox(TDialogForm* dialog, const TEdit* box, const QString& message);
