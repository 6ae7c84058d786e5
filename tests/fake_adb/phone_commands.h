#pragma once
// The fake adb's answers: adb's own commands and what the phone's shell
// prints, from the profile and the state of earlier calls.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "fake_adb/phone_state.h"
#include "fake_adb/profile.h"

namespace orv::fake_adb {

// One reply: bytes for each stream (line ends already in place), the exit
// status, and what happens around the output.
struct Answer {
  std::string out;
  std::string err;
  int exit = 0;
  long long delayMs = 0;  // before the output
  bool hang = false;      // after the output
  bool unplug = false;    // after the output
};

// Writes all of `bytes` to `fd`, riding over short writes.
void WriteAll(int fd, std::string_view bytes);

class FakeAdb {
 public:
  FakeAdb(const Profile& profile, PhoneState& state, std::filesystem::path phone,
          std::string serial);

  // The daemon lines when this call starts the server (empty otherwise).
  Answer startServer();
  Answer devices(bool longList) const;
  Answer connect(std::string address);
  // adb's refusal when no single usable device is there to talk to.
  std::optional<Answer> deviceProblem() const;
  // Answers `text` as the phone's shell would, after `adbLines`; returns the
  // exit status (the sandbox mode never returns: it becomes the shell).
  int shell(const std::string& text, Answer adbLines);
  Answer pull(const std::string& phonePath, const std::string& pcPath);
  Answer fromRule(const Rule& rule, std::string_view lineEnd) const;
  // Prints `answer` and gives its exit status; never returns when it hangs.
  int finish(const Answer& answer);

 private:
  struct Device {
    std::string serial;
    std::string state;
  };
  std::vector<Device> listed() const;
  Answer phoneAnswer(std::string out, std::string err, int exit) const;
  std::optional<Answer> suLayer(const std::string& text, std::string& inner) const;
  Answer runOnPhone(const std::string& inner, bool viaSu);
  Answer builtIn(const std::string& inner);
  Answer copy(const std::string& source, const std::string& target);
  std::string listing(const std::string& mode, unsigned long long size,
                      const std::string& path) const;
  const DeclaredFile* declared(const std::string& path) const;
  // Its CONTENT file's size when it has one.
  unsigned long long sizeOf(const DeclaredFile& file) const;
  [[noreturn]] void runInSandbox(const std::string& text);

  const Profile& profile_;
  const Settings& settings_;
  PhoneState& state_;
  std::filesystem::path phone_;
  std::string serial_;
};

}  // namespace orv::fake_adb
