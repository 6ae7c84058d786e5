#pragma once
// What the discovery pass learned of the three tables' layouts: the column
// count of each kind's records (0 when the kind was never seen) and the index
// of the date column of message records. The deleted-record carving
// recognises records of a kind only by these.

#include <cstdint>

namespace orv {

struct ColumnParameters {
  std::int32_t callColumns = 0;
  std::int32_t dataColumns = 0;
  std::int32_t smsColumns = 0;
  std::int32_t smsDateColumn = 0;  // 0-based

  bool anyKnown() const {
    return callColumns != 0 || dataColumns != 0 || smsColumns != 0 || smsDateColumn != 0;
  }
};

}  // namespace orv
