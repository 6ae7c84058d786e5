// How much the program itself spends following a copy: a 1 GiB pull from the
// fake phone at full speed, timed in this process's CPU time (the copy's own
// work is done by adb, a child). Prints CPU time per GiB followed, the share
// of one core, and how often the gauge moved.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "device/fake_phone.h"
#include "imaging/timage.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts gauge moves and the longest gap between them.
class CountingView : public orv::ImagingView {
 public:
  void addLogLine(const orv::LogLine&) override {}
  void setGaugeRange(std::int64_t) override {}
  void setGaugePosition(std::int64_t position) override {
    const auto now = Clock::now();
    if (position > 0 && position != last_) {
      if (moves_ > 0) longestGap_ = std::max(longestGap_, now - lastMove_);
      ++moves_;
      lastMove_ = now;
    }
    last_ = position;
  }
  void setStatus(int, const std::string&) override {}
  void showMessage(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  bool askWarning(const std::string&) override { return true; }
  void setConnectionState(const std::string&, int) override {}
  void setImagingRunning(bool) override {}
  void setConnectEnabled(bool) override {}

  int moves_ = 0;
  std::int64_t last_ = -1;
  Clock::time_point lastMove_{};
  Clock::duration longestGap_{};
};

}  // namespace

int main() {
  constexpr std::int64_t kGiB = std::int64_t{1} << 30;
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "orv-imaging-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);

  orv::testing::FakePhone phone("android-4.1-huawei-g740");
  phone.addFile("/data/media/evidence.img", "-rw-rw-r--", static_cast<unsigned long long>(kGiB));
  phone.set("copy-rate", "4294967296");  // as fast as the disk takes it

  orv::ImagingPlan plan;
  plan.way = orv::ImagingWay::kFile;
  plan.source = "/data/media/evidence.img";
  plan.pcFolder = folder.string() + "/";
  plan.sizeBytes = kGiB;
  CountingView view;
  orv::Timage imaging(plan, view, false);
  const double cpuBefore = CpuSeconds();
  const auto wallBefore = Clock::now();
  const orv::ImagingOutcome outcome = imaging.run();
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  const double cpu = CpuSeconds() - cpuBefore;
  std::filesystem::remove_all(folder);

  std::printf("outcome            %s\n",
              outcome == orv::ImagingOutcome::kComplete ? "complete" : "NOT complete");
  std::printf("copy time          %.2f s\n", wall);
  std::printf("program CPU / GiB  %.3f s\n", cpu);
  std::printf("share of one core  %.2f %%\n", wall > 0 ? 100.0 * cpu / wall : 0.0);
  std::printf("gauge moves        %d (longest gap %.2f s)\n", view.moves_,
              std::chrono::duration<double>(view.longestGap_).count());
  return outcome == orv::ImagingOutcome::kComplete ? 0 : 1;
}
