#include "platform/forms/Application.h"

#include "platform/layout/BigCopies.h"
#include "platform/system/Fonts.h"
#include "platform/system/Memory.h"
#include "platform/forms/Forms.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

static void InitResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminateSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

void LoadQtTranslations()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalogue : {"qtbase_ja", "qt_ja"}) {
        auto* translator = new QTranslator(qApp);
        if (translator->load(QString::fromLatin1(catalogue), directory))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace

TApplication::~TApplication()
{
    DestroyForms();
}

void TApplication::Initialize()
{
    TuneAllocatorForBigDocuments();
    TBigCopy::SetHooks(&BeginReusingPagesForBigBlocks, &EndReusingPagesForBigBlocks);
    static_assert(kOwnHeaps >= 2, "a heap for each kind of big copy");
    TBigCopy::SetRunner(&RunOnOwnHeap);
    InitResources();
    InstallFontSubstitutions();
    LoadQtTranslations();
    QApplication::setFont(FrameworkFont(QStringLiteral("System"), -12));
}

void TApplication::SetTitle(const QString& title)
{
    title_ = title;
    QCoreApplication::setApplicationName(title);
}

void TApplication::Register(QWidget* form, const char* className, std::function<void()> clearRef)
{
    if (forms_.empty())
        mainForm_ = qobject_cast<TMainForm*>(form);
    else if (mainForm_ && !form->parentWidget())
        form->setParent(mainForm_, form->windowFlags());  // dialogs belong to the main form
    forms_.push_back(form);
    clearRefs_.push_back(std::move(clearRef));
    classes_ << QString::fromLatin1(className);
}

int TApplication::Run()
{
    if (!mainForm_)
        return 1;
    QObject::connect(mainForm_, &TMainForm::Closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    QSocketNotifier* notifier = nullptr;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
        TMainForm* form = mainForm_;
        QObject::connect(notifier, &QSocketNotifier::activated, form, [form]() {
            char byte;
            [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
            form->Close();
        });
        std::signal(SIGTERM, OnTerminateSignal);
        std::signal(SIGINT, OnTerminateSignal);
    }

    mainForm_->show();
    const int code = QApplication::exec();
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    delete notifier;
    return code;
}

void TApplication::DestroyForms()
{
    while (!forms_.empty()) {
        delete forms_.back();
        forms_.pop_back();
        clearRefs_.back()();
        clearRefs_.pop_back();
    }
    mainForm_ = nullptr;
    classes_.clear();
}

bool StartProgramInstance(const QStringList& arguments)
{
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
}
