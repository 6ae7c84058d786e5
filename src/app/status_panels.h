#pragma once
// The status bar stat1: three panels of fixed width, panel 0 a one-word state
// ("就绪" when idle), panel 1 the current activity; at the right end, how far
// the running worker has got (percentage and time left).

#include <QFrame>
#include <QString>
#include <array>

class QLabel;

namespace orv {

class StatusPanels : public QFrame {
  Q_OBJECT

 public:
  static constexpr std::array<int, 3> kPanelWidths = {80, 150, 50};

  explicit StatusPanels(QWidget* parent = nullptr);

  void setPanelText(int panel, const QString& text);
  QString panelText(int panel) const;
  void setProgressText(const QString& text);
  QString progressText() const;

 private:
  std::array<QLabel*, 3> panels_{};
  QLabel* progress_;
};

}  // namespace orv
