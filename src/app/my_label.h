#pragma once
// The link label of the status bar: shows the current link's name, turns red
// and underlined under the mouse (holding the link rotation meanwhile) and
// opens the link on a left click.

#include <QLabel>
#include <functional>

class QTimer;

namespace orv {

class myLabel : public QLabel {
  Q_OBJECT

 public:
  // `rotation` is stopped while the mouse is over the label; `open` is called
  // on a left click.
  myLabel(QWidget* parent, QTimer* rotation, std::function<void()> open);

  // Back to the default font colour (each rotation step does this).
  void resetColour();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void setHot(bool hot);

  QTimer* rotation_;
  std::function<void()> open_;
};

}  // namespace orv
