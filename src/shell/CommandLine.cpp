#include "shell/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <BuildInfo.h>
#include <cstdio>

namespace {

struct Options {
    QCommandLineParser parser;
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption recover{QStringLiteral("recover"),
                               QStringLiteral("Restore the unsaved document kept under ID (used by the program itself)."),
                               QStringLiteral("ID")};

    Options()
    {
        parser.setApplicationDescription(QStringLiteral("Tesserine, a multilingual simple rich-text editor."));
        parser.addOption(help);
        parser.addOption(version);
        parser.addOption(recover);
        parser.addPositionalArgument(QStringLiteral("file"),
                                     QStringLiteral("A plain-text or RTF file to open (put -- before a name beginning with -)."),
                                     QStringLiteral("[--] [file]"));
    }
};

void Print(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& arguments)
{
    Options options;
    TCommandLine result;
    if (!options.parser.parse(arguments)) {
        result.action = TCommandLine::Action::Fail;
        result.error = options.parser.errorText();
        return result;
    }
    if (options.parser.isSet(options.help))
        result.action = TCommandLine::Action::ShowHelp;
    else if (options.parser.isSet(options.version))
        result.action = TCommandLine::Action::ShowVersion;
    result.files = options.parser.positionalArguments();
    result.recoverySet = options.parser.value(options.recover);
    return result;
}

int AnswerCommandLine(const TCommandLine& commandLine)
{
    switch (commandLine.action) {
    case TCommandLine::Action::ShowHelp: {
        Options options;
        Print(stdout, options.parser.helpText());
        return 0;
    }
    case TCommandLine::Action::ShowVersion:
        Print(stdout, QStringLiteral("Tesserine %1\n").arg(QStringLiteral(TESSERINE_VERSION)));
        return 0;
    case TCommandLine::Action::Fail:
        Print(stderr, QStringLiteral("tesserine: %1\nTry 'tesserine --help' for more information.\n").arg(commandLine.error));
        return 2;
    case TCommandLine::Action::Start:
        break;
    }
    return 0;
}
