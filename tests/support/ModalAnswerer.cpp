#include "support/ModalAnswerer.h"

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

ModalAnswerer::ModalAnswerer(int timeoutMs)
    : timeoutMs_(timeoutMs)
{
    timer_.setInterval(10);
    connect(&timer_, &QTimer::timeout, this, [this]() { poll(); });
}

ModalAnswerer& ModalAnswerer::expect(const QString& description, Match match, Answer answer)
{
    pending_.push_back({description, std::move(match), std::move(answer), 0});
    if (!timer_.isActive())
        timer_.start();
    return *this;
}

ModalAnswerer& ModalAnswerer::expectMessageBox(const QString& caption, int key)
{
    return expect(
        QStringLiteral("message box \"%1\"").arg(caption),
        [caption](QWidget* w) {
            return qobject_cast<QMessageBox*>(w) && w->windowTitle() == caption;
        },
        [this, key](QWidget* w) {
            texts_ << static_cast<QMessageBox*>(w)->text();
            QTest::keyClick(w, Qt::Key(key));
        });
}

ModalAnswerer& ModalAnswerer::expectFileDialog(const QString& objectName, const QString& path)
{
    return expectDialog(objectName, [this, path](QWidget* w) {
        auto* name = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        proposed_ << (name ? name->text() : QString());
        if (path.isEmpty() || !name) {
            QTest::keyClick(w, Qt::Key_Escape);
            return;
        }
        name->selectAll();
        QTest::keyClicks(name, path);
        QTest::keyClick(name, Qt::Key_Return);
    });
}

ModalAnswerer& ModalAnswerer::expectDialog(const QString& objectName, Answer answer)
{
    return expect(
        QStringLiteral("dialog %1").arg(objectName),
        [objectName](QWidget* w) { return w->objectName() == objectName; },
        std::move(answer));
}

void ModalAnswerer::poll()
{
    if (pending_.empty()) {
        timer_.stop();
        return;
    }
    Expectation& next = pending_.front();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (next.deadline == 0)
        next.deadline = now + timeoutMs_;
    QWidget* modal = QApplication::activeModalWidget();
    const bool alreadyAnswered = modal && modal == lastAnswered_ && modal->isVisible();
    if (modal && modal->isVisible() && !alreadyAnswered && next.match(modal)) {
        Answer answer = std::move(next.answer);
        pending_.pop_front();
        if (!pending_.empty())
            pending_.front().deadline = 0;
        lastAnswered_ = modal;
        modal->installEventFilter(this);
        ++answered_;
        // Answer from the event loop, not from inside this poll, so that a dialog the
        // answer opens in turn can be answered too.
        QPointer<QWidget> target(modal);
        QTimer::singleShot(0, this, [answer, target]() {
            if (target)
                answer(target);
        });
        return;
    }
    if (now > next.deadline) {
        failure_ = QStringLiteral("%1 did not appear").arg(next.description);
        if (modal)
            failure_ += QStringLiteral(" (the active modal widget was %1 \"%2\")")
                            .arg(QString::fromLatin1(modal->metaObject()->className()),
                                 modal->windowTitle());
        pending_.clear();
        timer_.stop();
        if (modal)
            modal->close();
    }
}

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event)
{
    // A reused dialog that was hidden may be shown again and then needs a new answer.
    if (event->type() == QEvent::Hide && watched == lastAnswered_) {
        watched->removeEventFilter(this);
        lastAnswered_ = nullptr;
    }
    return false;
}

void TypeText(QWidget* widget, const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        const int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        i += length - 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QCoreApplication::sendEvent(widget, &release);
    }
}
