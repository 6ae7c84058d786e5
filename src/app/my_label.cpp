#include "app/my_label.h"

#include <QMouseEvent>
#include <QTimer>

namespace orv {

myLabel::myLabel(QWidget* parent, QTimer* rotation, std::function<void()> open)
    : QLabel(parent), rotation_(rotation), open_(std::move(open)) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAutoFillBackground(false);
}

void myLabel::resetColour() { setStyleSheet(QString()); }

void myLabel::setHot(bool hot) {
  QFont underlined = font();
  underlined.setUnderline(hot);
  setFont(underlined);
  setStyleSheet(hot ? QStringLiteral("color: #ff0000;") : QString());
  setCursor(hot ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void myLabel::enterEvent(QEnterEvent* event) {
  rotation_->stop();
  setHot(true);
  QLabel::enterEvent(event);
}

void myLabel::leaveEvent(QEvent* event) {
  rotation_->start();
  setHot(false);
  QLabel::leaveEvent(event);
}

void myLabel::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) open_();
  QLabel::mousePressEvent(event);
}

}  // namespace orv
