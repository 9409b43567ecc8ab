#pragma once
// Files dropped from a file manager on a window.
#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

// Paths of the local files a drag carries, in order; empty when it carries none
// (text, or links to other places, which the widget under the cursor takes as usual).
QStringList LocalFilesOf(const QObject* mimeData);

// Takes drops of local files on a window: on the window itself, on every child that
// takes no drops of its own, and on the widgets given to Watch (an editor, which
// would insert the files' names as text). OnDrop runs once the drop is over, so the
// file manager is not kept waiting by what it asks, and inside the window's handler
// boundary.
class TFileDropTarget : public QObject {
public:
    TFileDropTarget(QWidget* window, std::function<void(const QStringList& paths)> onDrop);
    // Takes drops of files on widget as well (on its viewport for a scroll area).
    void Watch(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<void(const QStringList&)> onDrop_;
};
