#pragma once
// Builds the program's real window set for a test, headless, with an empty
// configuration directory of its own, and takes it down again.
#include <QTemporaryDir>
#include <functional>
#include <memory>

class TApplication;
class TSDIAppForm;

class WindowSetFixture {
public:
    // prepare runs with the empty configuration directory before the windows exist.
    explicit WindowSetFixture(const std::function<void(const QString& configDir)>& prepare = {});
    ~WindowSetFixture();
    WindowSetFixture(const WindowSetFixture&) = delete;
    WindowSetFixture& operator=(const WindowSetFixture&) = delete;

    TSDIAppForm* form() const;
    TApplication& application() { return *application_; }
    // Shows the main window and waits until it is the active window, so that its
    // shortcuts fire. Returns false when it did not become active.
    bool showMainWindow();
    QString configDirectory() const { return configHome_.path(); }

private:
    QTemporaryDir configHome_;
    std::unique_ptr<TApplication> application_;
};

// Top-level widgets that are visible, for checking that a test left none behind.
int VisibleTopLevelCount();

// Drops the offscreen platform's warnings about window features it lacks.
void SilencePlatformNoise();
