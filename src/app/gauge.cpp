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
  maximum = std::max<std::int64_t>(maximum, 0);
  shift_ = 0;
  while ((maximum >> shift_) > std::numeric_limits<int>::max()) ++shift_;
  setRange(0, static_cast<int>(maximum >> shift_));
}

void Gauge::setPosition64(std::int64_t position) {
  position = std::max<std::int64_t>(position, 0);
  setValue(std::clamp(
      static_cast<int>(std::min<std::int64_t>(position >> shift_, std::numeric_limits<int>::max())),
      minimum(), maximum()));
}

}  // namespace orv
