// The fake adb: answers adb command lines from a phone profile (README.md).

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "fake_adb/call_log.h"
#include "fake_adb/phone_commands.h"
#include "fake_adb/phone_state.h"
#include "fake_adb/profile.h"

namespace fs = std::filesystem;
using namespace orv::fake_adb;

namespace {

fs::path PhoneFolder() {
  if (const char* named = std::getenv("ORV_FAKE_PHONE"); named != nullptr && *named != '\0') {
    return named;
  }
  std::error_code ignored;
  return fs::read_symlink("/proc/self/exe", ignored).parent_path();
}

std::string Join(const std::vector<std::string>& words, std::size_t from) {
  std::string joined;
  for (std::size_t i = from; i < words.size(); ++i) {
    if (i > from) joined += ' ';
    joined += words[i];
  }
  return joined;
}

// One write, so records of calls running at the same time do not mix.
void LogCall(const fs::path& phone, const std::vector<std::string>& args,
             const std::string* phoneText) {
  std::string record(kCallTag);
  for (const auto& arg : args) record += "\t" + EscapeField(arg);
  record += "\n";
  if (phoneText != nullptr)
    record += std::string(kPhoneTag) + "\t" + EscapeField(*phoneText) + "\n";
  const int fd =
      open((phone / "calls.log").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  WriteAll(fd, record);
  close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> all(argv + 1, argv + argc);
  const fs::path phone = PhoneFolder();

  // adb's global options before the command.
  std::string serial;
  bool longList = false;
  std::size_t at = 0;
  while (at < all.size() && all[at].size() == 2 && all[at][0] == '-') {
    if (all[at] == "-s" && at + 1 < all.size()) serial = all[++at];
    ++at;
  }
  const std::vector<std::string> args(all.begin() + static_cast<std::ptrdiff_t>(at), all.end());
  const std::string verb = args.empty() ? std::string() : args[0];
  if (verb == "devices" && args.size() > 1 && args[1] == "-l") longList = true;
  const std::string phoneText = verb == "shell" ? Join(args, 1) : std::string();
  LogCall(phone, all, verb == "shell" ? &phoneText : nullptr);

  std::string error;
  const auto profile = LoadProfile(phone / "profile", error);
  if (!profile) {
    std::cerr << "fake adb: " << error << '\n';
    return 99;
  }
  PhoneState state(phone / "state");
  FakeAdb fake{*profile, state, phone, serial};

  if (const Rule* rule = FindRule(*profile, "adb " + Join(args, 0), false)) {
    return fake.finish(fake.fromRule(*rule, "lf"));
  }
  if (verb == "kill-server") {
    state.killServer();
    return 0;
  }
  Answer answer = fake.startServer();
  Answer reply;
  if (verb == "devices") {
    reply = fake.devices(longList);
  } else if (verb == "start-server") {
  } else if (verb == "connect" && args.size() == 2) {
    reply = fake.connect(args[1]);
  } else if (verb == "disconnect") {
    state.setConnectedAddress("");
  } else if (verb == "version") {
    reply.out = "Android Debug Bridge version 1.0.41 (fake)\n";
  } else if (auto refusal = fake.deviceProblem()) {
    reply = *refusal;
  } else if (verb == "tcpip" && args.size() == 2) {
    reply.out = "restarting in TCP mode port: " + args[1] + "\n";
  } else if (verb == "get-state") {
    reply.out = "device\n";
  } else if (verb == "shell") {
    return fake.shell(phoneText, std::move(answer));
  } else if (verb == "pull" && args.size() == 3) {
    reply = fake.pull(args[1], args[2]);
  } else {
    reply.err = "adb: unknown command " + Join(args, 0) + "\n";
    reply.exit = 1;
  }
  answer.out += reply.out;
  answer.err += reply.err;
  answer.exit = reply.exit;
  return fake.finish(answer);
}
