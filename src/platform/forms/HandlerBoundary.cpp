#include "platform/forms/HandlerBoundary.h"

#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QWidget>
#include <QString>
#include <exception>
#include <new>

bool RunHandler(QWidget* owner, const std::function<void()>& handler)
{
    QString message;
    try {
        handler();
        return true;
    } catch (const std::bad_alloc&) {
        message = QStringLiteral("Not enough memory to complete the command.");
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("The command failed for an unknown reason.");
    }
    if (message.isEmpty())
        message = QStringLiteral("The command failed.");
    MessageBox(owner, message, QApplication::applicationDisplayName(), MB_OK);
    return false;
}

void PostHandler(QWidget* owner, std::function<void()> handler)
{
    QMetaObject::invokeMethod(
        owner, [owner, handler = std::move(handler)]() { RunHandler(owner, handler); }, Qt::QueuedConnection);
}
