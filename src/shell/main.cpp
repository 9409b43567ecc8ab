#include "platform/forms/Application.h"
#include "shell/SDIMain.h"
#include "shell/StartupFile.h"
#include "shell/WindowSet.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    // The installed desktop entry's name; the window system matches the windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvalde.Tesserine"));
    TApplication application;
    application.Initialize();
    application.SetTitle(QStringLiteral("Tesserine"));
    CreateWindowSet(application);
    OpenStartupFile(SDIAppForm, QCoreApplication::arguments());
    return application.Run();
}
