#include "imaging/copy_follower.h"

#include <algorithm>

namespace orv {
namespace {

using Clock = std::chrono::steady_clock;

// How often a wait between polls looks at the stop request.
constexpr std::chrono::milliseconds kStopSlice{50};

// Waits up to `interval`; returns early when the child ends or a stop is asked.
void WaitBetweenPolls(ChildProcess& child, std::chrono::milliseconds interval,
                      const std::atomic<bool>& stop) {
  const auto until = Clock::now() + interval;
  while (!stop.load()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    if (left <= std::chrono::milliseconds::zero()) return;
    if (child.waitFor(std::min(left, kStopSlice))) return;
  }
}

}  // namespace

FollowResult FollowCopy(ChildProcess& child, const LengthProbe& measure,
                        const std::function<void(std::int64_t)>& show,
                        const std::atomic<bool>& stop, const FollowSettings& settings) {
  FollowResult result;
  std::optional<std::int64_t> last;
  auto lastChange = Clock::now();
  for (;;) {
    if (stop.load()) {
      result.end = FollowEnd::kStopped;
      return result;
    }
    const bool running = child.poll();
    if (const std::optional<std::int64_t> length = measure()) {
      if (length != last) lastChange = Clock::now();
      last = length;
      result.lastLength = *length;
      show(*length);
    }
    if (!running) {
      result.end = FollowEnd::kChildEnded;
      return result;
    }
    if (settings.stallLimit.count() > 0 && Clock::now() - lastChange >= settings.stallLimit) {
      result.end = FollowEnd::kStalled;
      return result;
    }
    WaitBetweenPolls(child, settings.pollInterval, stop);
  }
}

}  // namespace orv
