#pragma once
// The imaging worker: copies a partition or a file of the phone the way its
// plan says (an image file on the card then pulled to the PC, a raw copy
// onto the card's device, or a file pulled to the PC), follows the copy and
// tells whether it is complete. The copies run as owned children: `dd`
// through `adb shell su -c`, and `adb pull`.
//
// A copy is done when its child has exited; then the child's exit status and
// the length of the copy decide. Only an exact length is a complete copy;
// everything else ends as a failure naming the expected and the actual
// length, and the partial file is kept for the examiner. A file whose mode
// was relaxed for the pull gets its mode back on every way out.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "device/adb_commands.h"
#include "imaging/copy_follower.h"
#include "imaging/imaging_plan.h"
#include "imaging/imaging_view.h"

namespace orv {

struct ImagingTimings {
  std::chrono::milliseconds phonePoll{1000};  // one `ls -l` (or `ps`) on the phone per poll
  std::chrono::milliseconds localPoll{250};   // the local file's length, four times a second
  std::chrono::milliseconds stallLimit{60000};
};

enum class ImagingOutcome {
  kComplete,  // the copy exists with exactly the expected length
  kFailed,    // refused, failed, stalled or incomplete (logged and shown)
  kStopped,   // the user stopped it (logged, the partial copy kept)
  kDeclined,  // the user chose not to replace an existing local file
};

// The failure text for a copy of the wrong length.
std::string IncompleteCopyText(std::int64_t expected, std::int64_t actual);

class Timage {
 public:
  // `view` must outlive the run. `wirelessLink`: adb reaches the phone over
  // the network, so commands are spaced by short pauses.
  Timage(ImagingPlan plan, ImagingView& view, bool wirelessLink, ImagingTimings timings = {});

  // Runs on the calling thread.
  ImagingOutcome run();

  // Asks the run to stop at its next check (any thread). The local child is
  // ended; a dd already running on the phone may go on there.
  void requestStop() { stop_.store(true); }

 private:
  bool checkConnection();
  // Asks before replacing an existing copy and makes sure the folder takes the
  // file; an outcome when the run must end.
  std::optional<ImagingOutcome> prepareLocalFile(const std::string& localPath);
  ImagingOutcome runPartition();
  ImagingOutcome runFile();
  ImagingOutcome pull(const AdbCommand& command, std::int64_t expected);
  bool readProcessList(std::chrono::milliseconds pauseBefore);
  std::optional<std::int64_t> phoneLength(const AdbCommand& listing);

  CommandResult runLogged(const AdbCommand& command);
  bool startChild(ChildProcess& child, const AdbCommand& command);
  ImagingOutcome stopped(ChildProcess& child, const std::string& what, std::int64_t expected,
                         std::int64_t actual);
  ImagingOutcome fail(const std::string& text);
  void showGauge(std::int64_t length);
  void pause(std::chrono::milliseconds span) const;

  ImagingPlan plan_;
  ImagingView& view_;
  bool wirelessLink_;
  ImagingTimings timings_;
  std::atomic<bool> stop_{false};
};

}  // namespace orv
