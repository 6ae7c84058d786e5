#pragma once
// Runs a program (adb and its arguments) as a child process, captures what it
// writes to its standard output and standard error, and never leaves it
// behind: a command ends when the child ends, or at its time limit, when the
// child is ended and reaped.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The longest argument vector accepted, in bytes of all arguments together
// (Windows takes a command line of at most 32767 UTF-16 units; the same
// bound holds everywhere so a line refused on one system is refused on all).
inline constexpr std::size_t kMaxArgumentBytes = 32000;

// The exit status given to a child that was ended by a signal: 128 + the
// signal number, as shells report it.
inline constexpr int kSignalStatusBase = 128;

// How startError begins when argv[0] is not an executable on PATH.
inline constexpr std::string_view kProgramNotFound = "program not found on PATH: ";

struct CommandResult {
  bool started = false;    // the program was found and the child created
  std::string startError;  // why it was not (empty when started)
  int exitStatus = -1;     // the child's exit code; -1 when not started or not reaped
  bool timedOut = false;   // the limit ended the child, so the output may be short
  std::string out;         // standard output, byte for byte (NUL bytes kept)
  std::string err;         // standard error, byte for byte
};

// Runs `argv` (argv[0] names the program, searched on PATH unless it holds a
// path separator; no shell, so blanks, quotes and Chinese characters in an
// argument reach the child as they are). Standard input is empty; only the
// child's three standard descriptors are inherited.
//
// Returns when the child has exited and both its pipes are at end of file.
// At `timeLimit` the child (its whole process group on POSIX, the process on
// Windows) is ended, reaped, and `timedOut` is set; the call returns within
// about 300 ms after the limit. A missing program, an empty `argv`, an
// argument holding a NUL byte or a vector over kMaxArgumentBytes gives
// `started == false` with `startError` saying why, and nothing is run.
//
// Thread-safe: threads may run commands at the same time, each blocks only
// itself. A child that starts its own session (the adb server does) is not
// ended with the client.
CommandResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeLimit);

// A child owned by its caller for as long as the caller wants (a long copy).
// Its pipes are read only when the owner asks, so a chatty child may block on
// a full pipe until the owner reads again (64 KiB on Linux): poll regularly.
// Not thread-safe; one thread owns it at a time. It may be moved; a
// moved-from ChildProcess may only be destroyed or assigned to.
class ChildProcess {
 public:
  ChildProcess();
  ~ChildProcess();  // stop(): a child never outlives its owner
  ChildProcess(ChildProcess&&) noexcept;
  ChildProcess& operator=(ChildProcess&&) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts `argv` as RunProgram does. False (with startError()) when it could
  // not; a ChildProcess starts at most one child in its life.
  bool start(const std::vector<std::string>& argv);
  const std::string& startError() const;

  // Reads what the child has written so far, without blocking, and notes
  // whether it has ended (reaping it then). True while it runs, or while
  // something it started still holds its output open (stop() ends both).
  bool poll();

  // Takes the output gathered by poll(), waitFor() and stop() since the last
  // take.
  std::string takeOut();
  std::string takeErr();

  // Waits up to `limit` for the child to exit and its pipes to close,
  // gathering output; true when it did (then exitStatus() holds).
  bool waitFor(std::chrono::milliseconds limit);

  // Ends the child (its process group on POSIX) if it still runs, reaps it
  // and gathers what is left in the pipes. Harmless when already ended.
  void stop();

  bool running() const;         // as of the last poll, waitFor or stop
  int exitStatus() const;       // -1 until the child was reaped
  bool stoppedByUs() const;     // stop() had to end it
  long long processId() const;  // for tests; 0 when never started

  struct Impl;  // one per system

 private:
  std::unique_ptr<Impl> impl_;
};

// Why `argv` cannot be run (empty, a NUL byte in an argument, longer than
// kMaxArgumentBytes), or empty when it can.
std::string ArgumentProblem(const std::vector<std::string>& argv);

// `program` as a full path found through PATH (or as given when it names a
// path); empty when there is no such executable.
std::string FindProgram(std::string_view program);

}  // namespace orv
