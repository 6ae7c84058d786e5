#pragma once
// Following a long copy that runs as an owned child process (dd on the phone
// through `adb shell`, or `adb pull`): poll its length, notice when it ends,
// when it stops growing and when the user asks to stop.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "platform/command_runner.h"

namespace orv {

struct FollowSettings {
  std::chrono::milliseconds pollInterval{1000};
  // A copy whose length has not changed for this long is given up; zero
  // turns the rule off (a copy whose length cannot be measured).
  std::chrono::milliseconds stallLimit{60000};
};

enum class FollowEnd {
  kChildEnded,  // the child exited (its status and the final length decide the outcome)
  kStopped,     // `stop` was set; the child still runs
  kStalled,     // no change of length within the stall limit; the child still runs
};

struct FollowResult {
  FollowEnd end = FollowEnd::kChildEnded;
  std::int64_t lastLength = 0;  // the last length measured, 0 when none was
};

// Length of the copy so far, or empty when it cannot be told at this moment.
using LengthProbe = std::function<std::optional<std::int64_t>()>;

// Polls `child` and `measure` every `settings.pollInterval` until one of the
// ends above; `show` gets every length measured. Between polls it waits on
// the child in short slices, so a stop or the child's end is seen within
// about 50 ms. Runs on the calling thread; `stop` may be set by any thread.
FollowResult FollowCopy(ChildProcess& child, const LengthProbe& measure,
                        const std::function<void(std::int64_t)>& show,
                        const std::atomic<bool>& stop, const FollowSettings& settings);

}  // namespace orv
