#pragma once
// What the fake adb keeps between calls in the phone folder's state/: the
// adb server, the wireless connection, an unplugged phone, scripted copies
// and the modes that chmod gave declared files.

#include <filesystem>
#include <optional>
#include <string>

#include "fake_adb/profile.h"

namespace orv::fake_adb {

// How a scripted copy goes: where it ends and whether that end is a failure.
struct CopyPlan {
  unsigned long long size = 0;     // bytes of the whole source
  unsigned long long reaches = 0;  // bytes written when the copy ends
  bool fails = false;
  unsigned long long rate = 1;  // bytes per second

  // Milliseconds the copy takes from its start to its end.
  long long durationMs() const;
  unsigned long long bytesAfter(long long elapsedMs) const;
};

// `size` bytes copied under the profile's copy-rate and copy-end.
CopyPlan PlanCopy(const Settings& settings, unsigned long long size);

// Milliseconds of the wall clock (shared by the separate fake processes).
long long NowMs();

class PhoneState {
 public:
  explicit PhoneState(std::filesystem::path folder);

  // True the first time after a kill-server (or ever): the server starts.
  bool startServer();
  void killServer();

  std::string connectedAddress() const;
  void setConnectedAddress(const std::string& address);
  bool unplugged() const;
  void unplug();

  // A copy that dd started onto `target` now.
  void startCopy(const std::string& target, const CopyPlan& plan);
  struct CopyNow {
    unsigned long long bytes = 0;
    bool running = false;
  };
  // The latest copy onto `target`, as of now.
  std::optional<CopyNow> copyOnto(const std::string& target) const;
  bool anyCopyRunning() const;

  // A declared file's mode after the chmods so far ("-rw-rw----").
  std::string modeOf(const DeclaredFile& file) const;
  void recordChmod(const std::string& mode, const std::string& path, const DeclaredFile* declared);

 private:
  std::filesystem::path folder_;
};

// `mode` ("-rw-rw----") with its permission bits set to the octal digits
// `octal` ("664"); empty when `octal` is not three octal digits.
std::string ApplyOctalMode(const std::string& mode, const std::string& octal);

}  // namespace orv::fake_adb
