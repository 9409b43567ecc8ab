#pragma once
// Answers modal dialogs the way a person would. Arm it with the dialogs expected, in
// order, before triggering the command that opens them; each expectation waits for
// the active modal widget to match, then runs its answer (typing, clicking). A dialog
// that does not appear in time is recorded as a failure and the wait gives up, so a
// test never hangs.
#include "support/TimeBudget.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>

#include <QWidget>

class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    using Match = std::function<bool(QWidget*)>;
    using Answer = std::function<void(QWidget*)>;

    explicit ModalAnswerer(int timeoutMs = static_cast<int>(TimeBudgetMs(5000)));

    // Queues one expected dialog.
    ModalAnswerer& expect(const QString& description, Match match, Answer answer);

    // Queues a message box with the given caption, answered by pressing key.
    ModalAnswerer& expectMessageBox(const QString& caption, int key);
    // Queues a file dialog (object name OpenDialog or SaveDialog): types path into its
    // file name box and presses Enter, or presses Esc when path is empty. The name
    // the dialog proposed is recorded in proposedNames().
    ModalAnswerer& expectFileDialog(const QString& objectName, const QString& path);
    QStringList proposedNames() const { return proposed_; }

    // Queues a dialog with the given object name, answered by answer.
    ModalAnswerer& expectDialog(const QString& objectName, Answer answer);

    // True when every queued dialog appeared and was answered.
    bool allAnswered() const { return pending_.empty() && failure_.isEmpty(); }
    int answeredCount() const { return answered_; }
    QString failure() const { return failure_; }
    // Texts of the message boxes answered, in order.
    QStringList messageTexts() const { return texts_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Expectation {
        QString description;
        Match match;
        Answer answer;
        qint64 deadline = 0;
    };
    void poll();

    int timeoutMs_;
    QTimer timer_;
    std::deque<Expectation> pending_;
    int answered_ = 0;
    QString failure_;
    QStringList texts_;
    QStringList proposed_;
    QPointer<QWidget> lastAnswered_;
};

// Types text into a widget key by key, as a keyboard layout for its script would;
// unlike QTest::keyClicks it takes any characters, outside Latin-1 too.
void TypeText(QWidget* widget, const QString& text);
