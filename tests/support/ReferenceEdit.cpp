#include "support/ReferenceEdit.h"

#include "platform/richedit/RichEdit.h"

#include <QTest>
#include <QTextDocument>

ReferenceEdit::ReferenceEdit(const TRichEdit& edit)
{
    setDocument(edit.document()->clone(this));
    QTextDocument* doc = document();
    doc->setDocumentMargin(0);
    doc->setDefaultTextOption(edit.document()->defaultTextOption());
    doc->setIndentWidth(edit.document()->indentWidth());
    doc->setDefaultFont(edit.document()->defaultFont());
    const QMargins margins = edit.FormattingMargins();
    setViewportMargins(margins.left(), margins.top(), margins.right(), margins.bottom());
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(edit.WrapWidth());
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setFrameStyle(edit.frameStyle());
    resize(edit.size());
    show();
}

bool Focus(QWidget* view)
{
    view->activateWindow();
    view->setFocus();
    return QTest::qWaitForWindowActive(view->window()) && view->hasFocus();
}
