#include "app/status_panels.h"

#include <QHBoxLayout>
#include <QLabel>

namespace orv {

StatusPanels::StatusPanels(QWidget* parent) : QFrame(parent) {
  setFixedHeight(22);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setObjectName(QStringLiteral("panel%1").arg(i));
    panels_[i]->setFixedWidth(kPanelWidths[i]);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(panels_[i]);
  }
  layout->addStretch();
  progress_ = new QLabel(this);
  progress_->setObjectName(QStringLiteral("progressPanel"));
  progress_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  progress_->setContentsMargins(4, 0, 6, 0);
  layout->addWidget(progress_);
}

void StatusPanels::setPanelText(int panel, const QString& text) {
  panels_.at(static_cast<std::size_t>(panel))->setText(text);
}

QString StatusPanels::panelText(int panel) const {
  return panels_.at(static_cast<std::size_t>(panel))->text();
}

void StatusPanels::setProgressText(const QString& text) { progress_->setText(text); }

QString StatusPanels::progressText() const { return progress_->text(); }

}  // namespace orv
