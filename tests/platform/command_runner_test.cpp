#include "platform/command_runner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

namespace orv {
namespace {

TEST(RunCommandTest, CapturesStandardOutputByteForByte) {
  std::string output = "old";
  RunCommand(R"(sh -c "printf 'a\r\r\nb\0c\r\r\n'; echo hidden >&2")", output, 2000);
  EXPECT_EQ(output, std::string("a\r\r\nb\0c\r\r\n", 10));
}

TEST(RunCommandTest, QuotesGroupWordsAndAreRemoved) {
  std::string output;
  RunCommand(R"(printf "%s|%s" "two  words" plain)", output, 2000);
  EXPECT_EQ(output, "two  words|plain");
}

TEST(RunCommandTest, SilentChildGivesEmptyOutput) {
  std::string output = "old";
  RunCommand("true", output, 2000);
  EXPECT_EQ(output, "");
}

TEST(RunCommandTest, ChildThatCannotStartLeavesOutputAlone) {
  std::string output = "kept";
  RunCommand("orv-no-such-program-here devices", output, 500);
  EXPECT_EQ(output, "kept");
  RunCommand("", output, 500);
  EXPECT_EQ(output, "kept");
  RunCommand("echo " + std::string(kMaxCommandLine, 'x'), output, 500);
  EXPECT_EQ(output, "kept");
}

TEST(RunCommandTest, ReturnsAtTheEndOfSettleTimeAndReapsTheChildLater) {
  std::string output;
  const auto start = std::chrono::steady_clock::now();
  RunCommand(R"(sh -c "echo early; sleep 0.6; echo late")", output, 150);
  const auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(output, "early\n");
  EXPECT_LT(spent, std::chrono::milliseconds(500));
  // Once the child has ended, no zombie of it is left for us to wait for.
  std::this_thread::sleep_for(std::chrono::milliseconds(900));
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}

TEST(RunCommandTest, QuickChildDoesNotWaitForTheWholeSettleTime) {
  std::string output;
  const auto start = std::chrono::steady_clock::now();
  RunCommand("echo done", output, 5000);
  EXPECT_EQ(output, "done\n");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace orv
