#include "edit/ControlKeys.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QTextEdit>

bool EditControlKeepsKey(QWidget* focus, const QKeySequence& key)
{
    if (key != QKeySequence(Qt::Key_Delete))
        return false;
    if (auto* rich = qobject_cast<QTextEdit*>(focus))
        return !rich->textCursor().hasSelection();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return !line->hasSelectedText();
    return false;
}
