#pragma once
// A bar above a window's content that tells the user something without stopping them:
// a message, a few buttons that act at a click, and a close button. It stays until it
// is closed or hidden by the program.
#include <QFrame>
#include <functional>

class QHBoxLayout;
class QLabel;

class TNoticeBar : public QFrame {
    Q_OBJECT
public:
    TNoticeBar(QWidget* parent, const QString& name);

    // Shows the bar with message and one button per choice, replacing what it showed.
    struct Choice {
        QString label;
        std::function<void()> onClick;
    };
    void Show(const QString& message, const std::vector<Choice>& choices);
    // Hides the bar and drops its buttons.
    void Close();

    QString Message() const;

private:
    QLabel* message_ = nullptr;
    QHBoxLayout* buttons_ = nullptr;
};
