#pragma once
// A test's phone: the fake adb (tests/fake_adb, see its README.md) installed
// as `adb` in a fresh temporary folder that is put first on PATH, answering
// from a copy of one of the recorded phone profiles. The test may change the
// copy (settings, rules, files) and read back every command that was run.
//
//   FakePhone phone("android-4.1-huawei-g740");
//   phone.set("su", "refused-stderr");
//   ... run the code under test (it runs "adb" through the runner) ...
//   EXPECT_EQ(phone.phoneCommands(), (std::vector<std::string>{"su -c \"ls\""}));
//
// The constructor changes this process's PATH and ORV_FAKE_PHONE; the
// destructor puts them back and removes the folder. Make one FakePhone at a
// time, before starting threads that run commands (setenv is not
// thread-safe); ctest runs every test in a process of its own.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv::testing {

class FakePhone {
 public:
  // `profile` names a folder under tests/fake_adb/profiles. Throws
  // std::runtime_error when it does not exist.
  explicit FakePhone(std::string_view profile);
  ~FakePhone();
  FakePhone(const FakePhone&) = delete;
  FakePhone& operator=(const FakePhone&) = delete;

  // The phone folder (fake adb, profile copy, state, call log).
  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path profileFolder() const { return folder_ / "profile"; }

  // Sets a phone.conf key, replacing every earlier line of that key.
  void set(std::string_view key, std::string_view value);
  // Declares a file on the phone (the repeatable `file` key): MODE like
  // "-rw-rw----"; CONTENT (optional) is a file whose bytes `pull` copies.
  void addFile(std::string_view phonePath, std::string_view mode, unsigned long long size,
               const std::filesystem::path& content = {});
  // Appends a rule block for `command` (it overrides earlier blocks).
  // Options are rule keys and values: {{"text", "a\\nb"}, {"exit", "1"}}.
  void addRule(std::string_view command,
               const std::vector<std::pair<std::string, std::string>>& options);
  // Writes `bytes` as a file of the profile copy (for a rule's `out`).
  void writeProfileFile(std::string_view name, std::string_view bytes);

  struct Call {
    std::vector<std::string> args;  // after "adb"
    std::string phoneCommand;       // for shell: what the phone's shell runs
  };
  // Every call so far, in the order the fake adb finished logging them.
  std::vector<Call> calls() const;
  // The phoneCommand of every shell call, in order.
  std::vector<std::string> phoneCommands() const;
  // "MODE PATH" per chmod the phone ran, in order.
  std::vector<std::string> chmodLog() const;
  void clearCalls();

  // The recorded profiles' folder in the source tree.
  static std::filesystem::path ProfilesFolder();

 private:
  std::filesystem::path folder_;
  std::string oldPath_;
  bool hadPath_ = false;
  std::string oldPhone_;
  bool hadPhone_ = false;
};

}  // namespace orv::testing
