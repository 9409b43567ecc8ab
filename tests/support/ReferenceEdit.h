#pragma once
// A plain QTextEdit on Qt's own document layout, set up as the rich-edit control sets
// itself up and showing a copy of its document: the reference the control's own layout
// is checked against.
#include <QTextEdit>

class TRichEdit;

class ReferenceEdit : public QTextEdit {
public:
    explicit ReferenceEdit(const TRichEdit& edit);
};

// Gives the view the keyboard focus, so that it draws its caret and an active selection.
bool Focus(QWidget* view);
