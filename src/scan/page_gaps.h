#pragma once
// Free regions of a table leaf page, as offsets within its 4096 bytes.

#include <cstdint>
#include <vector>

namespace orv {

struct PageGap {
  std::uint32_t start;  // first byte searched
  std::uint32_t end;    // search stops before this offset
};

using PageGaps = std::vector<PageGap>;

}  // namespace orv
