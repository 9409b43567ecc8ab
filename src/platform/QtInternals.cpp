#include "platform/QtInternals.h"

#include <QAbstractTextDocumentLayout>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QMetaObject>
#include <QSet>
#include <QTextEdit>
#include <QTextLayout>
#include <cmath>
#include <cstdio>

// Qt's private text engine behind every QTextLayout (qtextengine_p.h, not installed):
// only the one member used here is declared. validate() makes the engine's layout data
// from the block's current text and returns at once when it has them; itemize() starts
// with it.
class QTextEngine {
public:
    void validate() const;
};

namespace {

// Says once per missing piece that Qt no longer has what this program relies on.
void Missing(const char* what)
{
    static QSet<QByteArray> told;
    if (told.contains(what))
        return;
    told.insert(what);
    std::fprintf(stderr, "tesserine: Qt %s lacks %s (checked against Qt %s); the feature relying on it is off\n",
                 qVersion(), what, QtInternals::kCheckedQtVersion);
}

} // namespace

namespace QtInternals {

QObject* TextControl(const QTextEdit* edit)
{
    for (QObject* child : edit->children())
        if (child->inherits("QWidgetTextControl"))
            return child;
    Missing("QTextEdit's QWidgetTextControl");
    return nullptr;
}

bool RedirectVisibilityRequests(QTextEdit* edit, QObject* receiver, const char* slot)
{
    QObject* control = TextControl(edit);
    if (!control)
        return false;
    if (!QObject::disconnect(control, SIGNAL(visibilityRequest(QRectF)), edit, SLOT(_q_ensureVisible(QRectF)))) {
        Missing("QWidgetTextControl::visibilityRequest connected to QTextEdit::_q_ensureVisible");
        return false;
    }
    return QObject::connect(control, SIGNAL(visibilityRequest(QRectF)), receiver, slot);
}

void EnsureVisible(QTextEdit* edit, const QRectF& rect)
{
    if (!QMetaObject::invokeMethod(edit, "_q_ensureVisible", Q_ARG(QRectF, rect)))
        Missing("QTextEdit::_q_ensureVisible(QRectF)");
}

bool IsCaretFallback(const QRectF& rect)
{
    // QWidgetTextControl::rectForPosition: "QRectF(layoutPos.x(), layoutPos.y(), cursorWidth, 10)".
    return std::abs(rect.height() - 10.0) < 1e-9;
}

int CursorWidth(const QAbstractTextDocumentLayout* layout)
{
    bool ok = false;
    const int width = layout->property("cursorWidth").toInt(&ok);
    return ok ? width : 1;
}

QTextCursor CursorWithoutColumn(QTextDocument* document, int anchor, int position)
{
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    cursor.endEditBlock();
    return cursor;
}

void PrepareEmptyLayout(QTextLayout* layout)
{
    if (layout && layout->lineCount() == 0)
        layout->engine()->validate();
}

QLineEdit* FileNameEdit(const QFileDialog& dialog)
{
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit)
        Missing("QFileDialog's line edit \"fileNameEdit\"");
    return edit;
}

QGridLayout* FileDialogGrid(const QFileDialog& dialog)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        Missing("QFileDialog's grid layout");
    return grid;
}

} // namespace QtInternals
