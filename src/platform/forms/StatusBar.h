#pragma once
// A status bar of fixed-width text panels; the last panel takes the remaining width.
// Hints shown by the desktop (menu and toolbar status tips) cover the panels until
// the next panel write or until the pointer leaves the hinted item.
#include <QStatusBar>
#include <vector>

class QLabel;
class QProgressBar;

class TStatusBar : public QStatusBar {
    Q_OBJECT
public:
    TStatusBar(QWidget* form, const QString& name, const std::vector<int>& panelWidths);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    QString PanelText(int index) const;
    void SetPanelText(int index, const QString& text);
    int PanelWidth(int index) const;
    QLabel* Panel(int index) const { return panels_.at(static_cast<std::size_t>(index)); }
    // Shows a progress bar at percent (0 to 100) right of the panels; a negative
    // percent hides it.
    void SetProgress(int percent);
    // The percent shown; -1 when the progress bar is hidden.
    int Progress() const;

private:
    std::vector<QLabel*> panels_;
    QProgressBar* progress_ = nullptr;
};
