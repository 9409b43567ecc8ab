#include "platform/Application.h"
#include "shell/WindowSet.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApplication(argc, argv);
    TApplication application;
    application.Initialize();
    application.SetTitle(QStringLiteral("Tesserine"));
    CreateWindowSet(application);
    return application.Run();
}
