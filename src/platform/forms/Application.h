#pragma once
// The application object: initialisation (translations, fonts, artwork), the title,
// the forms in creation order (the first is the main form) and the message loop.
#include "platform/forms/HandlerBoundary.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class TMainForm;

class TApplication {
public:
    TApplication() = default;
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Loads Qt's Japanese translations, the font substitutions and the bundled
    // artwork. Safe to call more than once.
    void Initialize();
    void SetTitle(const QString& title);
    QString Title() const { return title_; }

    // Creates a form, stores it in ref before its creation handler runs, then runs it.
    template <class Form>
    void CreateForm(Form*& ref)
    {
        ref = new Form();
        Register(ref, ref->metaObject()->className(), [&ref]() { ref = nullptr; });
        RunHandler(ref, [ref]() { ref->FormCreate(); });
    }

    // Class names of the forms created, in order.
    QStringList CreatedFormClasses() const { return classes_; }
    TMainForm* MainForm() const { return mainForm_; }

    // Shows the main form and runs the message loop until it closes; returns the
    // exit code. SIGTERM and SIGINT ask the main form to close, as a logout does.
    int Run();

    // Destroys the forms, last created first.
    void DestroyForms();

private:
    void Register(QWidget* form, const char* className, std::function<void()> clearRef);

    QString title_;
    TMainForm* mainForm_ = nullptr;
    std::vector<QWidget*> forms_;
    std::vector<std::function<void()>> clearRefs_;
    QStringList classes_;
};

// Starts another instance of this program with arguments, detached; false when it
// could not be started.
bool StartProgramInstance(const QStringList& arguments);
