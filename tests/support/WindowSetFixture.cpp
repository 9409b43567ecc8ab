#include "support/WindowSetFixture.h"

#include "platform/forms/Application.h"
#include "platform/richedit/RichEdit.h"
#include "shell/SDIMain.h"
#include "shell/WindowSet.h"

#include <QApplication>
#include <QTest>

void SilencePlatformNoise();

WindowSetFixture::WindowSetFixture(const std::function<void(const QString& configDir)>& prepare)
    : application_(std::make_unique<TApplication>())
{
    SilencePlatformNoise();
    qputenv("XDG_CONFIG_HOME", configHome_.path().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", (configHome_.path() + QStringLiteral("/machine")).toLocal8Bit());
    // Recovery data of its own: none offered from another test, none left behind.
    qputenv("XDG_STATE_HOME", (configHome_.path() + QStringLiteral("/state")).toLocal8Bit());
    if (prepare)
        prepare(configHome_.path());
    application_->Initialize();
    application_->SetTitle(QStringLiteral("Tesserine"));
    CreateWindowSet(*application_);
}

WindowSetFixture::~WindowSetFixture()
{
    if (SDIAppForm)
        SDIAppForm->RichEdit1->SetModified(false);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->isModal())
            widget->close();
    application_->DestroyForms();
}

TSDIAppForm* WindowSetFixture::form() const
{
    return SDIAppForm;
}

bool WindowSetFixture::showMainWindow()
{
    SDIAppForm->show();
    SDIAppForm->activateWindow();
    return QTest::qWaitForWindowActive(SDIAppForm);
}

int VisibleTopLevelCount()
{
    int count = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            ++count;
    return count;
}

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform warns about window features it lacks; those lines say
// nothing about the program and would bury real warnings.
void FilterPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
}

struct InstallFilter {
    InstallFilter() { g_previousHandler = qInstallMessageHandler(FilterPlatformNoise); }
};

} // namespace

void SilencePlatformNoise()
{
    static InstallFilter once;
}
