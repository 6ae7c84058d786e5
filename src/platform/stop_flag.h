#pragma once
// The process-wide stop request shared by the scan and imaging workers. The
// stop buttons set it, the start buttons clear it, workers poll it.

#include <atomic>
#include <cstdint>

namespace orv {

inline std::atomic<std::uint8_t>& StopFlag() {
  static std::atomic<std::uint8_t> flag{0};
  return flag;
}

inline bool StopRequested() { return StopFlag().load(std::memory_order_relaxed) != 0; }
inline void RequestStop() { StopFlag().store(1, std::memory_order_relaxed); }
inline void ClearStop() { StopFlag().store(0, std::memory_order_relaxed); }

}  // namespace orv
