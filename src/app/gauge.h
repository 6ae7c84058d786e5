#pragma once
// The progress gauge g1. Workers count in 64-bit units (sectors of a disk);
// the bar counts in int, so large ranges are scaled down by a power of two.
// The bar never shows the toolkit's endless "busy" animation: a range of no
// length is an empty bar, and the end of a worker leaves it full or empty.

#include <QProgressBar>
#include <cstdint>

namespace orv {

class Gauge : public QProgressBar {
  Q_OBJECT

 public:
  explicit Gauge(QWidget* parent = nullptr);

  void setRange64(std::int64_t maximum);  // minimum is 0
  void setPosition64(std::int64_t position);
  // The maximum last given to setRange64.
  std::int64_t maximum64() const { return maximum64_; }
  // The state a worker leaves behind: full when its work was done, empty
  // when it was stopped or failed.
  void finish(bool completed);

 private:
  int shift_ = 0;
  std::int64_t maximum64_ = 0;
};

}  // namespace orv
