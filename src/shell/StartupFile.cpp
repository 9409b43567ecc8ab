#include "shell/StartupFile.h"

#include "platform/forms/HandlerBoundary.h"
#include "shell/CommandLine.h"
#include "shell/SDIMain.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

QString StartupFileOf(const QStringList& arguments, QStringList* ignored)
{
    const QStringList names = ParseCommandLine(arguments).files;
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

QString RecoverySetOf(const QStringList& arguments)
{
    return ParseCommandLine(arguments).recoverySet;
}

void OpenStartupFile(TSDIAppForm* form, const QStringList& arguments)
{
    const QString recoverySet = RecoverySetOf(arguments);
    if (!recoverySet.isEmpty()) {
        PostHandler(form, [form, recoverySet]() { form->RestoreRecoverySet(recoverySet); });
        return;
    }
    QStringList ignored;
    const QString path = StartupFileOf(arguments, &ignored);
    // A recovered document goes into this window unless a file is to open in it.
    PostHandler(form, [form, intoThisWindow = path.isEmpty()]() { form->OfferRecoveredDocuments(intoThisWindow); });
    if (path.isEmpty())
        return;
    // One window holds one document: further names are reported, not opened.
    for (const QString& name : ignored)
        std::fprintf(stderr, "tesserine: opens one file at a time; %s is not opened\n", qPrintable(name));
    PostHandler(form, [form, path]() { form->OpenFileFromDesktop(path); });
}
