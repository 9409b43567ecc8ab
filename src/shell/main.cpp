#include "platform/forms/Application.h"
#include "shell/CommandLine.h"
#include "shell/SDIMain.h"
#include "shell/StartupFile.h"
#include "shell/WindowSet.h"

#include <QApplication>

namespace {

QStringList ArgumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char* argv[])
{
    // --help and --version are answered before any window exists, so they work in a
    // terminal without a display. A command line this first reading refuses may hold
    // Qt's own options, which only QApplication takes out.
    const TCommandLine early = ParseCommandLine(ArgumentsOf(argc, argv));
    if (early.action == TCommandLine::Action::ShowHelp || early.action == TCommandLine::Action::ShowVersion) {
        const QCoreApplication core(argc, argv);
        return AnswerCommandLine(early);
    }
    QApplication qtApplication(argc, argv);
    // QApplication has taken its own options (-platform, -style, ...) out of the arguments.
    const TCommandLine commandLine = ParseCommandLine(QCoreApplication::arguments());
    if (commandLine.action != TCommandLine::Action::Start)
        return AnswerCommandLine(commandLine);
    // The installed desktop entry's name; the window system matches the windows to it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvalde.Tesserine"));
    TApplication application;
    application.Initialize();
    application.SetTitle(QStringLiteral("Tesserine"));
    CreateWindowSet(application);
    OpenStartupFile(SDIAppForm, QCoreApplication::arguments());
    return application.Run();
}
