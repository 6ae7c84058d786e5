// One `adb devices` + `adb shell su -c "ls"` round trip through the fake
// phone, and the runner's own share of it: the same commands started with a
// bare posix_spawn and waitpid (output to /dev/null) give the child's own
// cost; the difference is what the runner adds (pipes, reading, waiting).

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "device/adb_commands.h"
#include "device/fake_phone.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 200;

struct Pair {
  double bare = 0;    // ms per run
  double runner = 0;  // ms per run
};

// Both ways taken in turns, so that a busy machine slows both alike.
template <typename Bare, typename Runner>
Pair MillisecondsPerRun(Bare bare, Runner runner) {
  Pair total;
  for (int i = 0; i < kRounds; ++i) {
    auto start = Clock::now();
    bare();
    total.bare += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    start = Clock::now();
    runner();
    total.runner += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  return {total.bare / kRounds, total.runner / kRounds};
}

void BareSpawn(const std::string& program, const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, args.data(), environ) == 0) {
    waitpid(pid, nullptr, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

int main() {
  orv::testing::FakePhone phone("android-4.1-huawei-g740");
  const std::string adb = orv::FindProgram("adb");
  const orv::AdbCommand devices = orv::AdbDevices();
  const orv::AdbCommand rootCheck = orv::AdbRootCheck();
  orv::RunAdb(devices);  // the fake's server start, once

  const Pair list =
      MillisecondsPerRun([&] { BareSpawn(adb, devices.argv); }, [&] { orv::RunAdb(devices); });
  const Pair shell =
      MillisecondsPerRun([&] { BareSpawn(adb, rootCheck.argv); }, [&] { orv::RunAdb(rootCheck); });

  std::printf("adb round trip through the fake phone, %d rounds each\n", kRounds);
  std::printf("  adb devices:         %.3f ms (bare spawn %.3f ms)\n", list.runner, list.bare);
  std::printf("  adb shell su -c ls:  %.3f ms (bare spawn %.3f ms)\n", shell.runner, shell.bare);
  std::printf("  round trip:          %.3f ms\n", list.runner + shell.runner);
  std::printf("  runner overhead:     %.3f ms per command (target below 5 ms)\n",
              ((list.runner - list.bare) + (shell.runner - shell.bare)) / 2);
  return 0;
}
