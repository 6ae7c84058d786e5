#include "app/gauge.h"

#include <algorithm>
#include <limits>

namespace orv {

Gauge::Gauge(QWidget* parent) : QProgressBar(parent) {
  setTextVisible(false);
  setFixedHeight(10);
  setRange(0, 100);
  setValue(0);
  // A blue bar, as on the systems the program first ran on.
  setStyleSheet(
      "QProgressBar { border: 1px solid #8aa; background: white; }"
      "QProgressBar::chunk { background: #1e5fc8; }");
}

void Gauge::setRange64(std::int64_t maximum) {
  maximum64_ = std::max<std::int64_t>(maximum, 0);
  shift_ = 0;
  while ((maximum64_ >> shift_) > std::numeric_limits<int>::max()) ++shift_;
  // A range of 0..0 would make the bar animate as "busy": one step instead,
  // so position 0 shows an empty bar.
  setRange(0, std::max(1, static_cast<int>(maximum64_ >> shift_)));
  setValue(0);
}

void Gauge::finish(bool completed) {
  setRange64(1);
  setValue(completed ? maximum() : minimum());
}

void Gauge::setPosition64(std::int64_t position) {
  position = std::max<std::int64_t>(position, 0);
  setValue(std::clamp(
      static_cast<int>(std::min<std::int64_t>(position >> shift_, std::numeric_limits<int>::max())),
      minimum(), maximum()));
}

}  // namespace orv
