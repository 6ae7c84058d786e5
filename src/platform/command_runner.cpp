#include "platform/command_runner.h"

namespace orv {

std::string ArgumentProblem(const std::vector<std::string>& argv) {
  if (argv.empty() || argv[0].empty()) return "empty command";
  std::size_t total = 0;
  for (const auto& argument : argv) {
    if (argument.find('\0') != std::string::npos) return "an argument holds a NUL byte";
    total += argument.size() + 1;
  }
  if (total > kMaxArgumentBytes) return "command line too long";
  return {};
}

CommandResult RunProgram(const std::vector<std::string>& argv,
                         std::chrono::milliseconds timeLimit) {
  CommandResult result;
  ChildProcess child;
  if (!child.start(argv)) {
    result.startError = child.startError();
    return result;
  }
  result.started = true;
  if (!child.waitFor(timeLimit)) {
    child.stop();
    result.timedOut = true;
  }
  result.exitStatus = child.exitStatus();
  result.out = child.takeOut();
  result.err = child.takeErr();
  return result;
}

}  // namespace orv
