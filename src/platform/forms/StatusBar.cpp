#include "platform/forms/StatusBar.h"

#include <QLabel>
#include <QProgressBar>
#include <algorithm>

TStatusBar::TStatusBar(QWidget* form, const QString& name, const std::vector<int>& panelWidths)
    : QStatusBar(form)
{
    setObjectName(name);
    setSizeGripEnabled(true);
    for (std::size_t i = 0; i < panelWidths.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        panel->setContentsMargins(2, 0, 2, 0);
        const bool last = i + 1 == panelWidths.size();
        panel->setMinimumWidth(panelWidths[i]);
        if (!last)
            panel->setMaximumWidth(panelWidths[i]);
        // Text that does not fit is cut off rather than widening the panel.
        panel->setSizePolicy(last ? QSizePolicy::Ignored : QSizePolicy::Fixed, QSizePolicy::Preferred);
        addWidget(panel, last ? 1 : 0);
        panels_.push_back(panel);
    }
}

QString TStatusBar::PanelText(int index) const
{
    return panels_.at(static_cast<std::size_t>(index))->text();
}

void TStatusBar::SetPanelText(int index, const QString& text)
{
    clearMessage();
    panels_.at(static_cast<std::size_t>(index))->setText(text);
}

int TStatusBar::PanelWidth(int index) const
{
    return panels_.at(static_cast<std::size_t>(index))->width();
}

void TStatusBar::SetProgress(int percent)
{
    if (percent < 0) {
        if (progress_)
            progress_->hide();
        return;
    }
    if (!progress_) {
        progress_ = new QProgressBar(this);
        progress_->setObjectName(QStringLiteral("Progress"));
        progress_->setRange(0, 100);
        progress_->setMaximumWidth(120);
        progress_->setMaximumHeight(fontMetrics().height());
        addPermanentWidget(progress_);
    }
    progress_->setValue(std::clamp(percent, 0, 100));
    progress_->show();
}

int TStatusBar::Progress() const
{
    return progress_ && !progress_->isHidden() ? progress_->value() : -1;
}
