#pragma once
// Pieces the page-width and paragraph dialogs share.
#include <QString>

class QWidget;
class TButton;
class TDialogForm;
class TEdit;

// An OK (default, result OK) and a Cancel (Esc, result Cancel) button at the dialog's
// right edge.
void AddOkCancelButtons(TDialogForm* dialog, TButton*& ok, TButton*& cancel);

// Checks that an edit box holds a number; if not, keeps the dialog open and shows
// message under "Word Processor". Returns whether it held one.
bool CheckNumberBox(TDialogForm* dialog, const TEdit* box, const QString& message);
