#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/command_runner.h"

extern char** environ;

namespace orv {
namespace {

// Splits a command line the way the programs we run read theirs: blanks
// separate words, a pair of double quotes groups blanks into one word.
std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// Owns one file descriptor.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// Reads what is waiting in the pipe without blocking. False at end of file.
bool DrainAvailable(int fd, std::string& into) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0) {
      return false;
    } else {
      return errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
    }
  }
}

// A child that outlives the settle time is waited for on a thread of its own,
// so it never stays a zombie.
void ReapLater(pid_t pid) {
  try {
    std::thread([pid] {
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the child stays unreaped until the program ends.
  }
}

pid_t Spawn(const std::vector<std::string>& words, int stdoutFd) {
  std::vector<char*> argv;
  for (const auto& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

}  // namespace

void RunCommand(const std::string& commandLine, std::string& output, int settleMs) {
  if (commandLine.size() > kMaxCommandLine) return;
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  if (words.empty()) return;

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return;
  Fd readEnd(ends[0]);
  Fd writeEnd(ends[1]);
  fcntl(readEnd.get(), F_SETFL, O_NONBLOCK);

  const pid_t pid = Spawn(words, writeEnd.get());
  writeEnd.reset();
  if (pid < 0) return;

  std::string gathered;
  bool open = true;
  bool exited = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(settleMs);
  while (!exited) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    // Short slices: the child's end is noticed without a signal handler.
    const int slice = static_cast<int>(std::min<long long>(left, 5));
    if (open) {
      pollfd waiting{readEnd.get(), POLLIN, 0};
      if (poll(&waiting, 1, slice) > 0) open = DrainAvailable(readEnd.get(), gathered);
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(slice));
    }
    exited = waitpid(pid, nullptr, WNOHANG) == pid;
  }
  if (open) DrainAvailable(readEnd.get(), gathered);
  if (!exited) ReapLater(pid);
  output = std::move(gathered);
}

}  // namespace orv
