#include "platform/command_runner.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace orv {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// How late a command may return after its limit.
constexpr auto kStopGrace = 300ms;

CommandResult Sh(const std::string& script, std::chrono::milliseconds limit = 5000ms) {
  return RunProgram({"sh", "-c", script}, limit);
}

// The state letter of `pid` ('Z' for a zombie), or 0 when it is gone.
char ProcessState(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  const std::size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() ? line[close + 2] : 0;
}

// True once our child `pid` is gone entirely: ended and reaped by us, not
// left a zombie.
bool ProcessGone(pid_t pid) {
  for (int tries = 0; tries < 100; ++tries) {
    if (kill(pid, 0) != 0 && errno == ESRCH) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

// True once a grandchild `pid` has ended; reaping it is its new parent's
// business (in a container that may be a process that never reaps).
bool ProcessEnded(pid_t pid) {
  for (int tries = 0; tries < 100; ++tries) {
    const char state = ProcessState(pid);
    if (state == 0 || state == 'Z') return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

struct BytesCase {
  const char* name;
  std::string script;
  std::string out;
  std::string err;
};

TEST(RunProgramTest, KeepsEveryByteOfBothStreams) {
  std::string megabyte;
  for (int i = 0; megabyte.size() < 1048576; ++i) megabyte += "0123456789abcde\n";
  const BytesCase cases[] = {
      {"crcrlf and NUL", R"(printf 'a\r\r\nb\0c\r\r\n')", std::string("a\r\r\nb\0c\r\r\n", 10), ""},
      {"invalid UTF-8", R"(printf '\377\376\200x')", "\xff\xfe\x80x", ""},
      {"GBK bytes", R"(printf '\304\343\272\303')", "\xc4\xe3\xba\xc3", ""},
      {"stderr only", R"(printf 'su: permission denied\n' >&2)", "", "su: permission denied\n"},
      {"both streams", R"(printf out; printf err >&2)", "out", "err"},
      {"one megabyte", "yes 0123456789abcde | head -c 1048576", megabyte, ""},
      {"nothing", "true", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandResult result = Sh(c.script);
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
  }
}

TEST(RunProgramTest, ArgumentsReachTheChildUnchanged) {
  const std::vector<std::string> arguments = {"two  words", "a\"b",        "$(reboot)",
                                              "中文 路径",  "back\\slash", ""};
  std::vector<std::string> argv = {"printf", "%s|"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  const CommandResult result = RunProgram(argv, 5000ms);
  EXPECT_EQ(result.out, "two  words|a\"b|$(reboot)|中文 路径|back\\slash||");
}

TEST(RunProgramTest, ExitStatuses) {
  const struct {
    const char* script;
    int status;
  } cases[] = {
      {"exit 0", 0},
      {"exit 1", 1},
      {"exit 127", 127},
      {"exit 255", 255},
      {"kill -TERM $$", kSignalStatusBase + SIGTERM},
      {"kill -KILL $$", kSignalStatusBase + SIGKILL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    const CommandResult result = Sh(c.script);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(result.exitStatus, c.status);
  }
}

TEST(RunProgramTest, CommandsThatCannotRunAreRefusedWithAReason) {
  const struct {
    const char* name;
    std::vector<std::string> argv;
    std::string reasonStart;
  } cases[] = {
      {"missing program", {"orv-no-such-program-here", "devices"}, std::string(kProgramNotFound)},
      {"empty vector", {}, "empty command"},
      {"empty program", {""}, "empty command"},
      {"NUL in an argument", {"echo", std::string("a\0b", 3)}, "an argument holds a NUL byte"},
      {"one byte too long", {"echo", std::string(kMaxArgumentBytes - 5, 'x')}, "command line"},
      {"a folder", {"/tmp"}, std::string(kProgramNotFound)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandResult result = RunProgram(c.argv, 1000ms);
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(result.startError.starts_with(c.reasonStart)) << result.startError;
    EXPECT_EQ(result.exitStatus, -1);
    EXPECT_TRUE(result.out.empty());
    EXPECT_TRUE(result.err.empty());
  }
  // "echo" + 1 and the argument + 1 fill the bound exactly.
  EXPECT_TRUE(RunProgram({"echo", std::string(kMaxArgumentBytes - 6, 'x')}, 5000ms).started);
}

TEST(RunProgramTest, HangingChildIsEndedAtItsLimitWithItsWholeGroup) {
  const auto start = Clock::now();
  // The shell prints its pid and its background sleeper's, then waits.
  const CommandResult result = Sh("sleep 30 & echo $$ $!; wait", 300ms);
  const auto took = Clock::now() - start;
  EXPECT_TRUE(result.started);
  EXPECT_TRUE(result.timedOut);
  EXPECT_EQ(result.exitStatus, kSignalStatusBase + SIGKILL);
  EXPECT_GE(took, 300ms);
  EXPECT_LT(took, 300ms + kStopGrace);
  pid_t shell = 0;
  pid_t sleeper = 0;
  ASSERT_EQ(std::sscanf(result.out.c_str(), "%d %d", &shell, &sleeper), 2) << result.out;
  EXPECT_TRUE(ProcessGone(shell));
  EXPECT_TRUE(ProcessEnded(sleeper));
}

TEST(RunProgramTest, OutputBeforeTheLimitIsKept) {
  const CommandResult result = Sh("printf early; sleep 30", 200ms);
  EXPECT_TRUE(result.timedOut);
  EXPECT_EQ(result.out, "early");
}

TEST(RunProgramTest, ChildInItsOwnSessionOutlivesTheClient) {
  // As the adb server does: it leaves the client's session and its pipes.
  const CommandResult result = Sh("setsid sleep 30 >/dev/null 2>&1 </dev/null & echo $!", 2000ms);
  ASSERT_FALSE(result.timedOut);
  const pid_t server = std::atoi(result.out.c_str());
  ASSERT_GT(server, 0);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(kill(server, 0), 0);
  kill(server, SIGKILL);
}

TEST(RunProgramTest, QuickChildReturnsAtOnce) {
  const auto start = Clock::now();
  const CommandResult result = RunProgram({"echo", "done"}, 10000ms);
  EXPECT_EQ(result.out, "done\n");
  EXPECT_LT(Clock::now() - start, 500ms);
}

TEST(RunProgramTest, AHangingCommandDoesNotDelayAnotherThread) {
  auto hanging = std::async(std::launch::async, [] { return Sh("sleep 30", 1500ms); });
  std::this_thread::sleep_for(50ms);
  const auto start = Clock::now();
  EXPECT_EQ(RunProgram({"echo", "quick"}, 5000ms).out, "quick\n");
  EXPECT_LT(Clock::now() - start, 500ms);
  EXPECT_TRUE(hanging.get().timedOut);
}

TEST(RunProgramTest, EightThreadsEachGetTheirOwnOutput) {
  std::vector<std::future<CommandResult>> runs;
  for (int i = 0; i < 8; ++i) {
    runs.push_back(std::async(std::launch::async, [i] {
      return Sh("yes thread" + std::to_string(i) + " | head -n 20000; echo done" +
                std::to_string(i) + " >&2");
    }));
  }
  for (int i = 0; i < 8; ++i) {
    const CommandResult result = runs[static_cast<std::size_t>(i)].get();
    std::string expected;
    for (int line = 0; line < 20000; ++line) expected += "thread" + std::to_string(i) + "\n";
    EXPECT_EQ(result.out, expected) << i;
    EXPECT_EQ(result.err, "done" + std::to_string(i) + "\n");
  }
}

TEST(RunProgramTest, LeavesNoDescriptorOpen) {
  const std::size_t before = OpenDescriptors();
  Sh("echo out; echo err >&2");
  Sh("sleep 30", 50ms);
  RunProgram({"orv-no-such-program-here"}, 50ms);
  {
    ChildProcess child;
    ASSERT_TRUE(child.start({"sleep", "30"}));
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(RunProgramTest, ChildSeesNoDescriptorOfOurs) {
  // A descriptor opened without close-on-exec stays with us.
  const int leaky = dup(STDOUT_FILENO);
  ASSERT_GE(leaky, 0);
  const CommandResult result = Sh("ls /proc/self/fd | wc -l");
  close(leaky);
  // 0, 1, 2 and the descriptor ls reads the folder with.
  EXPECT_EQ(result.out, "4\n");
}

TEST(RunProgramTest, StandardInputIsEmpty) { EXPECT_EQ(RunProgram({"cat"}, 2000ms).out, ""); }

TEST(FindProgramTest, SearchesPathFoldersOnly) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("orv-path-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const auto tool = folder / "orv-test-tool";
  std::ofstream(tool) << "#!/bin/sh\necho tool\n";
  std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
  std::ofstream(folder / "orv-not-executable") << "text\n";

  const std::string oldPath = getenv("PATH");
  setenv("PATH", (folder.string() + ":" + oldPath).c_str(), 1);
  EXPECT_EQ(FindProgram("orv-test-tool"), tool.string());
  EXPECT_EQ(RunProgram({"orv-test-tool"}, 2000ms).out, "tool\n");
  EXPECT_EQ(FindProgram("orv-not-executable"), "");
  // An empty entry does not mean the working folder.
  const auto workingFolder = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  setenv("PATH", (":" + oldPath).c_str(), 1);
  EXPECT_EQ(FindProgram("orv-test-tool"), "");
  EXPECT_EQ(FindProgram("./orv-test-tool"), "./orv-test-tool");
  std::filesystem::current_path(workingFolder);
  setenv("PATH", oldPath.c_str(), 1);
  std::filesystem::remove_all(folder);
}

TEST(ChildProcessTest, GivesOutputAsItComes) {
  ChildProcess child;
  ASSERT_TRUE(child.start({"sh", "-c", "printf first; sleep 0.3; printf second >&2"}));
  std::string out;
  const auto deadline = Clock::now() + 2s;
  while (out.empty() && Clock::now() < deadline) {
    EXPECT_TRUE(child.poll());
    out += child.takeOut();
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(out, "first");
  EXPECT_TRUE(child.running());
  EXPECT_TRUE(child.waitFor(5s));
  EXPECT_FALSE(child.running());
  EXPECT_FALSE(child.poll());
  EXPECT_EQ(child.takeOut(), "");
  EXPECT_EQ(child.takeErr(), "second");
  EXPECT_EQ(child.exitStatus(), 0);
  EXPECT_FALSE(child.stoppedByUs());
}

TEST(ChildProcessTest, StopEndsAndReapsTheChild) {
  ChildProcess child;
  ASSERT_TRUE(child.start({"sh", "-c", "echo ready; exec sleep 30"}));
  EXPECT_FALSE(child.waitFor(100ms));
  const auto pid = static_cast<pid_t>(child.processId());
  child.stop();
  EXPECT_FALSE(child.running());
  EXPECT_TRUE(child.stoppedByUs());
  EXPECT_EQ(child.exitStatus(), kSignalStatusBase + SIGKILL);
  EXPECT_EQ(child.takeOut(), "ready\n");
  EXPECT_TRUE(ProcessGone(pid));
  child.stop();  // harmless twice
}

TEST(ChildProcessTest, DestructorEndsAndReapsTheChild) {
  pid_t pid = 0;
  {
    ChildProcess child;
    ASSERT_TRUE(child.start({"sleep", "30"}));
    pid = static_cast<pid_t>(child.processId());
    ChildProcess moved = std::move(child);
    EXPECT_TRUE(moved.poll());
  }
  EXPECT_TRUE(ProcessGone(pid));
}

TEST(ChildProcessTest, StartsOnlyOnce) {
  ChildProcess child;
  ASSERT_TRUE(child.start({"true"}));
  EXPECT_FALSE(child.start({"true"}));
  EXPECT_EQ(child.startError(), "a child was already started");
}

}  // namespace
}  // namespace orv
