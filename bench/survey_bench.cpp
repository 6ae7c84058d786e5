// Measures a whole connection, root check and survey against the fake phone
// (a phone that answers at once): the time of each run and the number of
// commands it ran.
//
//   survey_bench [--runs N] [--profile NAME]
//
// The default profile is the Huawei G740 of Android 4.1 (five-column space
// report, by-name links, internal and external SD card), with its identity
// files and vold devices added, so the survey walks every step.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/fake_phone.h"
#include "device/recording_connect_view.h"
#include "device/tconnect.h"

namespace {

using Clock = std::chrono::steady_clock;

void CompleteTheProfile(orv::testing::FakePhone& phone) {
  phone.writeProfileFile("bench-build.prop",
                         "ro.build.display.id=JZO54K\nro.build.version.release=4.1.2\n"
                         "ro.product.model=HUAWEI G740-L00\nro.product.locale.language=zh\n"
                         "ro.product.locale.region=CN\n");
  phone.writeProfileFile("bench-cpuinfo", "Processor\t: ARMv7\nHardware\t: QCT MSM8930\n");
  phone.writeProfileFile("bench-meminfo", "MemTotal:         835512 kB\n");
  phone.addRule("cat system/build.prop", {{"out", "bench-build.prop"}});
  phone.addRule("cat proc/cpuinfo", {{"out", "bench-cpuinfo"}});
  phone.addRule("cat proc/meminfo", {{"out", "bench-meminfo"}});
  for (const char* minor : {"26", "33"}) {
    phone.addRule(std::string("ls -l /dev/block/vold/179:") + minor,
                  {{"text", std::string("brw------- root root 179, ") + minor +
                                " 2013-01-01 00:00 179:" + minor + "\\n"}});
  }
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 10;
  std::string profile = "android-4.1-huawei-g740";
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    if (option == "--profile") profile = argv[i + 1];
  }
  orv::testing::FakePhone phone(profile);
  if (profile == "android-4.1-huawei-g740") CompleteTheProfile(phone);

  std::vector<double> seconds;
  std::size_t commands = 0;
  std::size_t entries = 0;
  bool completed = true;
  for (int run = 0; run < runs; ++run) {
    orv::test::RecordingConnectView view;
    orv::Tconnect worker({}, view);
    const Clock::time_point start = Clock::now();
    completed = worker.run() == orv::SurveyOutcome::kCompleted && completed;
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    commands = worker.commandsRun().size();
    entries = worker.storageModel().size();
  }
  std::sort(seconds.begin(), seconds.end());
  double total = 0;
  for (const double s : seconds) total += s;
  std::printf("survey of %s: %d runs, %s\n", profile.c_str(), runs,
              completed ? "all completed" : "NOT all completed");
  std::printf("  commands per survey: %zu, storage entries: %zu\n", commands, entries);
  std::printf("  time per survey: best %.3f s, median %.3f s, mean %.3f s, worst %.3f s\n",
              seconds.front(), seconds[seconds.size() / 2], total / runs, seconds.back());
  return completed ? 0 : 1;
}
