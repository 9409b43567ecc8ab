#include "platform/forms/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextEdit>

QString ClipboardText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data && data->hasText() ? data->text() : QString();
}

void SetClipboardText(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

namespace {

enum class EditCommand { Cut, Copy, Paste };

template <class Edit>
void Apply(Edit* edit, EditCommand command)
{
    switch (command) {
    case EditCommand::Cut: edit->cut(); break;
    case EditCommand::Copy: edit->copy(); break;
    case EditCommand::Paste: edit->paste(); break;
    }
}

void ApplyToFocused(EditCommand command)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    if (auto* combo = qobject_cast<QComboBox*>(focus); combo && combo->lineEdit())
        focus = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        Apply(line, command);
    else if (auto* text = qobject_cast<QTextEdit*>(focus))
        Apply(text, command);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        Apply(plain, command);
}

} // namespace

void CutFocusedEdit() { ApplyToFocused(EditCommand::Cut); }
void CopyFocusedEdit() { ApplyToFocused(EditCommand::Copy); }
void PasteFocusedEdit() { ApplyToFocused(EditCommand::Paste); }
