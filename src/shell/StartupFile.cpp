#include "shell/StartupFile.h"

#include "platform/HandlerBoundary.h"
#include "shell/SDIMain.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

QString StartupFileOf(const QStringList& arguments, QStringList* ignored)
{
    QStringList names = arguments.mid(1);
    if (!names.isEmpty() && names.first() == QLatin1String("--"))
        names.removeFirst();
    if (names.isEmpty())
        return QString();
    if (ignored)
        *ignored = names.mid(1);
    QString name = names.first();
    if (name.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(name);
        if (url.isLocalFile())
            name = url.toLocalFile();
    }
    return QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath());
}

void OpenStartupFile(TSDIAppForm* form, const QStringList& arguments)
{
    QStringList ignored;
    const QString path = StartupFileOf(arguments, &ignored);
    if (path.isEmpty())
        return;
    // One window holds one document: further names are reported, not opened.
    for (const QString& name : ignored)
        std::fprintf(stderr, "tesserine: opens one file at a time; %s is not opened\n", qPrintable(name));
    PostHandler(form, [form, path]() { form->OpenFileFromDesktop(path); });
}
