#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/command_runner.h"
#include "platform/posix/unique_fd.h"

extern char** environ;

namespace orv {
namespace {

using Clock = std::chrono::steady_clock;

// How long reaping may hold a caller (see Impl::reap).
constexpr auto kReapWait = std::chrono::milliseconds(200);

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Moves what waits in `fd` into `into` without blocking; closes `fd` at end
// of file or on a read error.
void DrainAvailable(posix::UniqueFd& fd, std::string& into) {
  char buffer[65536];
  while (fd) {
    const ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n > 0) {
      into.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      return;
    } else {
      fd.reset();
    }
  }
}

int StatusFromWait(int raw) {
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  if (WIFSIGNALED(raw)) return kSignalStatusBase + WTERMSIG(raw);
  return -1;
}

}  // namespace

std::string FindProgram(std::string_view program) {
  const std::string name(program);
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* path = std::getenv("PATH");
  const std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t begin = 0;
  while (begin <= folders.size()) {
    std::size_t end = folders.find(':', begin);
    if (end == std::string_view::npos) end = folders.size();
    // An empty entry would mean the current folder: never searched, so a
    // program dropped into the working folder is not run by its name.
    if (end > begin) {
      std::string candidate(folders.substr(begin, end - begin));
      candidate += '/';
      candidate += name;
      if (IsExecutableFile(candidate)) return candidate;
    }
    begin = end + 1;
  }
  return {};
}

struct ChildProcess::Impl {
  pid_t pid = -1;
  posix::UniqueFd out;
  posix::UniqueFd err;
  bool exited = false;  // the child has ended (it may be a zombie still)
  bool reaped = false;
  bool stoppedByUs = false;
  int exitStatus = -1;
  std::string startError;
  std::string gatheredOut;
  std::string gatheredErr;

  void drain() {
    DrainAvailable(out, gatheredOut);
    DrainAvailable(err, gatheredErr);
  }

  // Notes the child's end without reaping it: while it is a zombie its
  // process group id cannot be reused, so ending the group stays safe.
  void noteExit() {
    if (pid < 0 || exited) return;
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == pid) {
      exited = true;
    }
  }

  // Reaps the child, which has ended or was sent SIGKILL. One stuck in the
  // kernel (a USB transfer that never completes) may take longer to die than
  // a caller may wait: after kReapWait it is reaped on a thread of its own,
  // never left a zombie, and its status stays unknown.
  void reap() {
    if (pid < 0 || reaped) return;
    reaped = true;
    exited = true;
    const auto deadline = Clock::now() + kReapWait;
    for (;;) {
      int raw = 0;
      const pid_t got = waitpid(pid, &raw, WNOHANG);
      if (got == pid) {
        exitStatus = StatusFromWait(raw);
        return;
      }
      if (got < 0 && errno != EINTR) return;  // not ours to reap any more
      if (Clock::now() >= deadline) break;
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    try {
      std::thread([child = pid] {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
      }).detach();
    } catch (const std::system_error&) {
      // No thread to spare: the zombie goes when the program ends.
    }
  }

  bool finished() const { return exited && !out && !err; }
};

ChildProcess::ChildProcess() : impl_(std::make_unique<Impl>()) {}
ChildProcess::~ChildProcess() {
  if (impl_) stop();
}
ChildProcess::ChildProcess(ChildProcess&&) noexcept = default;
ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    if (impl_) stop();
    impl_ = std::move(other.impl_);
  }
  return *this;
}

bool ChildProcess::start(const std::vector<std::string>& argv) {
  Impl& self = *impl_;
  if (self.pid >= 0 || !self.startError.empty()) {
    self.startError = "a child was already started";
    return false;
  }
  self.startError = ArgumentProblem(argv);
  if (!self.startError.empty()) return false;
  const std::string program = FindProgram(argv[0]);
  if (program.empty()) {
    self.startError = std::string(kProgramNotFound) + argv[0];
    return false;
  }

  int outEnds[2];
  int errEnds[2];
  if (pipe2(outEnds, O_CLOEXEC) != 0) {
    self.startError = std::string("no pipe: ") + std::strerror(errno);
    return false;
  }
  posix::UniqueFd outRead(outEnds[0]), outWrite(outEnds[1]);
  if (pipe2(errEnds, O_CLOEXEC) != 0) {
    self.startError = std::string("no pipe: ") + std::strerror(errno);
    return false;
  }
  posix::UniqueFd errRead(errEnds[0]), errWrite(errEnds[1]);
  fcntl(outRead.get(), F_SETFL, O_NONBLOCK);
  fcntl(errRead.get(), F_SETFL, O_NONBLOCK);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, outWrite.get(), 1);
  posix_spawn_file_actions_adddup2(&actions, errWrite.get(), 2);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Descriptors a library opened without close-on-exec stay with us too.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // Its own process group, so a limit ends the child with whatever it
  // started; default signal handling and an empty mask whatever ours are.
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  std::vector<char*> args;
  for (const auto& argument : argv) args.push_back(const_cast<char*>(argument.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    self.startError = "cannot start " + program + ": " + std::strerror(rc);
    return false;
  }
  self.pid = pid;
  self.out = std::move(outRead);
  self.err = std::move(errRead);
  return true;
}

const std::string& ChildProcess::startError() const { return impl_->startError; }

bool ChildProcess::poll() {
  Impl& self = *impl_;
  if (self.pid < 0 || self.reaped) return false;
  self.drain();
  self.noteExit();
  if (self.finished()) self.reap();
  return !self.reaped;
}

std::string ChildProcess::takeOut() { return std::exchange(impl_->gatheredOut, {}); }
std::string ChildProcess::takeErr() { return std::exchange(impl_->gatheredErr, {}); }

bool ChildProcess::waitFor(std::chrono::milliseconds limit) {
  Impl& self = *impl_;
  if (self.pid < 0) return false;
  const auto deadline = Clock::now() + limit;
  auto pause = std::chrono::microseconds(200);
  while (!self.reaped) {
    self.drain();
    self.noteExit();
    if (self.finished()) {
      self.reap();
      break;
    }
    // Rounded up, so the limit is never cut short by a fraction of a millisecond.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    if (self.out || self.err) {
      // The pipes close when the child ends: sleep in poll until then. The
      // slice bounds the wait for a child that closed them and lives on.
      pollfd waiting[2] = {{self.out.get(), POLLIN, 0}, {self.err.get(), POLLIN, 0}};
      ::poll(waiting, 2, static_cast<int>(std::min<long long>(left, 50)));
    } else {
      std::this_thread::sleep_for(pause);
      pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
  }
  return true;
}

void ChildProcess::stop() {
  Impl& self = *impl_;
  if (self.pid < 0 || self.reaped) return;
  self.drain();
  self.noteExit();
  if (!self.finished()) {
    // The group id is still ours: the child is not reaped yet.
    kill(-self.pid, SIGKILL);
    self.stoppedByUs = !self.exited;
  }
  self.reap();
  // Whatever the child wrote before it ended; a descendant in another
  // session may hold the pipes open, so nothing more is waited for.
  self.drain();
  self.out.reset();
  self.err.reset();
}

bool ChildProcess::running() const { return impl_ && impl_->pid >= 0 && !impl_->reaped; }
int ChildProcess::exitStatus() const { return impl_->exitStatus; }
bool ChildProcess::stoppedByUs() const { return impl_->stoppedByUs; }
long long ChildProcess::processId() const { return impl_->pid < 0 ? 0 : impl_->pid; }

}  // namespace orv
