#pragma once
// The desktop clipboard and the standard edit commands on the focused edit control.
#include <QString>

// The clipboard's text; empty when it holds no text (an image only, say).
QString ClipboardText();
void SetClipboardText(const QString& text);

// Cut, copy or paste in the focused edit control of the application; nothing is done
// when no edit control has the focus.
void CutFocusedEdit();
void CopyFocusedEdit();
void PasteFocusedEdit();
