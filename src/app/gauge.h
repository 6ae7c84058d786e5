#pragma once
// The progress gauge g1. Workers count in 64-bit units (sectors of a disk);
// the bar counts in int, so large ranges are scaled down by a power of two.

#include <QProgressBar>
#include <cstdint>

namespace orv {

class Gauge : public QProgressBar {
  Q_OBJECT

 public:
  explicit Gauge(QWidget* parent = nullptr);

  void setRange64(std::int64_t maximum);  // minimum is 0
  void setPosition64(std::int64_t position);

 private:
  int shift_ = 0;
};

}  // namespace orv
