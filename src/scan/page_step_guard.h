#pragma once
// The firewall around each page's decoding steps. Bytes that do not decode
// are an ordinary outcome the steps return as values; an exception out of a
// step is a bug of our own. Builds made to find bugs (the sanitizer and fuzz
// builds) let it go on up, so the test or the run fails; elsewhere the scan
// logs it with the page's offset, counts it and goes on with the next page,
// so one bug never costs the user the rest of the source.

#include <exception>

namespace orv {

#ifdef ORV_BUGS_ARE_FATAL
inline constexpr bool kBugsAreFatal = true;
#else
inline constexpr bool kBugsAreFatal = false;
#endif

// Runs `step()`. Returns true when it ran to its end; when it threw and bugs
// are not fatal, calls `onBug()` and returns false.
template <class Step, class OnBug>
[[nodiscard]] bool RunPageStep(Step&& step, OnBug&& onBug) {
  try {
    step();
    return true;
  } catch (const std::exception&) {
    if constexpr (kBugsAreFatal) throw;
    onBug();
    return false;
  }
}

}  // namespace orv
