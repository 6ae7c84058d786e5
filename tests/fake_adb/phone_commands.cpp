#include "fake_adb/phone_commands.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "fake_adb/call_log.h"

namespace orv::fake_adb {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDaemonLines =
    "* daemon not running; starting now at tcp:5037\n* daemon started successfully\n";
constexpr std::string_view kNoPermissions =
    "no permissions (missing udev rules? user is in the plugdev group); see "
    "[http://developer.android.com/tools/device.html]";
// What `ls` shows in the folder su starts in (the root of an Android 4 phone).
constexpr std::string_view kRootListing =
    "acct\ncache\nconfig\nd\ndata\ndefault.prop\ndev\netc\ninit\ninit.rc\nmnt\nproc\nroot\n"
    "sbin\nsdcard\nstorage\nsys\nsystem\nueventd.rc\nvendor\n";
constexpr std::string_view kSandboxSu =
    "#!/bin/sh\n"
    "# The fake phone's su: runs its -c argument as the phone's shell would.\n"
    "[ \"$1\" = \"-c\" ] && shift\n"
    "exec /bin/sh -c \"$*\"\n";

std::vector<std::string> WordsOf(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The text after "key=" among `words` ("if=/dev/x"), or empty.
std::string Operand(const std::vector<std::string>& words, std::string_view key) {
  for (const auto& word : words) {
    if (word.starts_with(key)) return word.substr(key.size());
  }
  return {};
}

void SleepMs(long long ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// dd's closing report, as toolbox dd writes it to standard error.
std::string DdReport(unsigned long long bytes, long long ms) {
  const unsigned long long whole = bytes / 512;
  const int partial = bytes % 512 != 0 ? 1 : 0;
  char text[256];
  std::snprintf(text, sizeof text,
                "%llu+%d records in\n%llu+%d records out\n%llu bytes transferred in %.3f secs "
                "(%llu bytes/sec)\n",
                whole, partial, whole, partial, bytes, static_cast<double>(ms) / 1000.0,
                ms > 0 ? bytes * 1000 / static_cast<unsigned long long>(ms) : bytes);
  return text;
}

}  // namespace

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

FakeAdb::FakeAdb(const Profile& profile, PhoneState& state, fs::path phone, std::string serial)
    : profile_(profile),
      settings_(profile.settings),
      state_(state),
      phone_(std::move(phone)),
      serial_(std::move(serial)) {}

Answer FakeAdb::startServer() {
  Answer lines;
  if (!state_.startServer() || settings_.daemonStart == "none") return lines;
  (settings_.daemonStart == "stdout" ? lines.out : lines.err) = kDaemonLines;
  return lines;
}

std::vector<FakeAdb::Device> FakeAdb::listed() const {
  std::vector<Device> devices;
  if (state_.unplugged()) return devices;
  const std::string& form = settings_.devices;
  if (form == "device" || form == "legacy-windows" || form == "two") {
    devices.push_back({settings_.serial, "device"});
  } else if (form == "no-permissions") {
    devices.push_back({settings_.serial, std::string(kNoPermissions)});
  } else if (form != "none") {
    devices.push_back({settings_.serial, form});
  }
  if (form == "two") devices.push_back({"emulator-5554", "device"});
  if (const std::string address = state_.connectedAddress(); !address.empty()) {
    devices.push_back({address, "device"});
  }
  return devices;
}

Answer FakeAdb::devices(bool longList) const {
  const bool legacy = settings_.legacyDeviceList();
  const std::string lineEnd = !settings_.devicesLineEnd.empty() ? settings_.devicesLineEnd
                              : legacy                          ? "crlf"
                                                                : "lf";
  std::string list = legacy ? "List of devices attached \n" : "List of devices attached\n";
  for (const Device& device : listed()) {
    list += device.serial + "\t" + device.state;
    if (longList && device.state == "device") list += " product:fake model:Fake_Phone device:fake";
    list += "\n";
  }
  list += "\n";
  return {ConvertLineEnds(list, lineEnd), {}, 0};
}

Answer FakeAdb::connect(std::string address) {
  if (address.find(':') == std::string::npos) address += ":5555";
  if (settings_.connect == "refused") {
    return {"failed to connect to '" + address + "': Connection refused\n", {}, 1};
  }
  const bool already = state_.connectedAddress() == address;
  state_.setConnectedAddress(address);
  return {(already ? "already connected to " : "connected to ") + address + "\n", {}, 0};
}

std::optional<Answer> FakeAdb::deviceProblem() const {
  const std::vector<Device> devices = listed();
  const Device* chosen = nullptr;
  if (!serial_.empty()) {
    for (const Device& device : devices) {
      if (device.serial == serial_) chosen = &device;
    }
    if (chosen == nullptr) return Answer{{}, "adb: device '" + serial_ + "' not found\n", 1};
  } else if (devices.empty()) {
    return Answer{{}, "adb: no devices/emulators found\n", 1};
  } else if (devices.size() > 1) {
    return Answer{{}, "adb: more than one device/emulator\n", 1};
  } else {
    chosen = &devices.front();
  }
  if (chosen->state == "offline") return Answer{{}, "adb: device offline\n", 1};
  if (chosen->state == "unauthorized") {
    return Answer{{},
                  "adb: device unauthorized.\n"
                  "This adb server's $ADB_VENDOR_KEYS is not set\n"
                  "Try 'adb kill-server' if that seems wrong.\n"
                  "Otherwise check for a confirmation dialog on your device.\n",
                  1};
  }
  if (chosen->state.starts_with("no permissions")) {
    return Answer{{},
                  "adb: insufficient permissions for device: missing udev rules? user is in the "
                  "plugdev group\nSee [http://developer.android.com/tools/device.html] for more "
                  "information\n",
                  1};
  }
  return std::nullopt;
}

Answer FakeAdb::fromRule(const Rule& rule, std::string_view lineEnd) const {
  std::string once;
  if (const std::string out = rule.option("out"); !out.empty()) {
    const fs::path file = profile_.folder / out;
    if (!fs::is_regular_file(file)) {
      return {{}, "fake adb: the rule's out file is missing: " + file.string() + "\n", 99};
    }
    once = ReadFileBytes(file);
  }
  once += UnescapeField(rule.option("text"));
  const std::string ruleEnd = rule.option("line-end", std::string(lineEnd));
  once = ConvertLineEnds(once, ruleEnd == "raw" ? "lf" : ruleEnd);
  Answer answer;
  const long long repeat = std::stoll(rule.option("repeat", "1"));
  for (long long i = 0; i < repeat; ++i) answer.out += once;
  answer.err =
      ConvertLineEnds(UnescapeField(rule.option("err")), ruleEnd == "raw" ? "lf" : ruleEnd);
  answer.exit = std::stoi(rule.option("exit", "0"));
  answer.delayMs = std::stoll(rule.option("delay-ms", "0"));
  answer.hang = rule.option("hang") == "yes";
  answer.unplug = rule.option("unplug") == "yes";
  return answer;
}

Answer FakeAdb::phoneAnswer(std::string out, std::string err, int exit) const {
  return {ConvertLineEnds(out, settings_.lineEnd), ConvertLineEnds(err, settings_.lineEnd), exit};
}

int FakeAdb::shell(const std::string& text, Answer adbLines) {
  if (settings_.shell == "sandbox") {
    finish(adbLines);
    runInSandbox(text);
  }
  std::string inner = text;
  const std::optional<Answer> refusal = suLayer(text, inner);
  Answer answer = refusal ? *refusal : runOnPhone(inner, text.starts_with("su -c "));
  if (settings_.usesPty()) {
    // A pty has one stream, and adb before the shell protocol reported no
    // exit status.
    answer.out += answer.err;
    answer.err.clear();
    answer.exit = 0;
  }
  answer.out.insert(0, adbLines.out);
  answer.err.insert(0, adbLines.err);
  return finish(answer);
}

// The su layer of `su -c "X"`: sets `inner` to X and gives su's own answer
// when it does not run X (none when it does, or when there is no su layer).
std::optional<Answer> FakeAdb::suLayer(const std::string& text, std::string& inner) const {
  if (!text.starts_with("su -c ")) return std::nullopt;
  inner = text.substr(6);
  inner.erase(0, inner.find_first_not_of(' '));
  if (inner.size() >= 2 && inner.front() == '"' && inner.back() == '"' &&
      inner.find('"', 1) == inner.size() - 1) {
    inner = inner.substr(1, inner.size() - 2);
  }
  const std::string& su = settings_.su;
  if (su == "refused-stdout") return phoneAnswer("Permission denied\n", {}, 1);
  if (su == "refused-stderr") return phoneAnswer({}, "su: permission denied\n", 1);
  if (su == "missing") return phoneAnswer({}, "/system/bin/sh: su: not found\n", 127);
  if (su == "hang") {
    Answer silent;
    silent.hang = true;
    return silent;
  }
  return std::nullopt;
}

Answer FakeAdb::runOnPhone(const std::string& inner, bool viaSu) {
  const Rule* rule = FindRule(profile_, inner, viaSu);
  if (inner == "ps") {
    Answer answer = rule != nullptr ? fromRule(*rule, settings_.lineEnd)
                                    : phoneAnswer(settings_.lsStyle == "toybox"
                                                      ? "USER           PID  PPID     VSZ    RSS "
                                                        "WCHAN            ADDR S NAME\n"
                                                      : "USER     PID   PPID  VSIZE  RSS     WCHAN "
                                                        "   PC         NAME\n",
                                                  {}, 0);
    if (settings_.psListsDd && state_.anyCopyRunning()) {
      answer.out += ConvertLineEnds("root      4321  4320  1116   464   c00c1bc8 afd0c40c D dd\n",
                                    settings_.lineEnd);
    }
    return answer;
  }
  if (rule != nullptr) return fromRule(*rule, settings_.lineEnd);
  return builtIn(inner);
}

const DeclaredFile* FakeAdb::declared(const std::string& path) const {
  for (auto file = settings_.files.rbegin(); file != settings_.files.rend(); ++file) {
    if (file->path == path) return &*file;
  }
  return nullptr;
}

unsigned long long FakeAdb::sizeOf(const DeclaredFile& file) const {
  if (file.content.empty()) return file.size;
  std::error_code unreadable;
  const auto size = fs::file_size(profile_.folder / file.content, unreadable);
  return unreadable ? 0 : size;
}

std::string FakeAdb::listing(const std::string& mode, unsigned long long size,
                             const std::string& path) const {
  char line[8192];
  if (settings_.lsStyle == "toybox") {
    std::snprintf(line, sizeof line, "%s 1 root sdcard_rw %llu 2013-05-01 12:00 %s\n", mode.c_str(),
                  size, path.c_str());
  } else {
    std::snprintf(line, sizeof line, "%s %-8s %-8s %8llu 2013-05-01 12:00 %s\n", mode.c_str(),
                  "system", "sdcard_rw", size, BaseName(path).c_str());
  }
  return line;
}

Answer FakeAdb::builtIn(const std::string& inner) {
  const std::vector<std::string> words = WordsOf(inner);
  if (words.empty()) return {};
  const std::string& program = words[0];
  if (inner == "ls") return phoneAnswer(std::string(kRootListing), {}, 0);
  if (program == "dd") return copy(Operand(words, "if="), Operand(words, "of="));
  if (program == "ls" && words.size() == 3 && words[1] == "-l") {
    const std::string& path = words[2];
    if (const DeclaredFile* file = declared(path)) {
      return phoneAnswer(listing(state_.modeOf(*file), sizeOf(*file), path), {}, 0);
    }
    if (const auto copy = state_.copyOnto(path)) {
      return phoneAnswer(listing("-rw-rw-r--", copy->bytes, path), {}, 0);
    }
    return phoneAnswer({}, "ls: " + path + ": No such file or directory\n", 1);
  }
  if (program == "chmod" && words.size() == 3) {
    const DeclaredFile* file = declared(words[2]);
    state_.recordChmod(words[1], words[2], file);
    if (file == nullptr && !state_.copyOnto(words[2])) {
      return phoneAnswer({}, "chmod: " + words[2] + ": No such file or directory\n", 1);
    }
    return {};
  }
  if (program == "netcfg" && settings_.netcfg) {
    return phoneAnswer(
        "lo       UP                                   127.0.0.1/8   0x00000049 "
        "00:00:00:00:00:00\n",
        {}, 0);
  }
  return phoneAnswer({}, "/system/bin/sh: " + program + ": not found\n", 127);
}

Answer FakeAdb::copy(const std::string& source, const std::string& target) {
  if (source.empty() || target.empty()) {
    return phoneAnswer({}, "dd: missing if= or of=\n", 1);
  }
  const DeclaredFile* file = declared(source);
  const CopyPlan plan = PlanCopy(settings_, file != nullptr ? sizeOf(*file) : settings_.copySize);
  state_.startCopy(target, plan);
  SleepMs(plan.durationMs());
  std::string report = DdReport(plan.reaches, plan.durationMs());
  if (plan.fails) report.insert(0, "dd: write error: No space left on device\n");
  return phoneAnswer({}, report, plan.fails ? 1 : 0);
}

Answer FakeAdb::pull(const std::string& phonePath, const std::string& pcPath) {
  unsigned long long size = 0;
  std::string content;
  if (const DeclaredFile* file = declared(phonePath)) {
    if (state_.modeOf(*file)[7] != 'r') {
      return {{},
              "adb: error: failed to copy '" + phonePath + "' to '" + pcPath +
                  "': remote open failed: Permission denied\n",
              1};
    }
    size = sizeOf(*file);
    if (!file->content.empty()) content = ReadFileBytes(profile_.folder / file->content);
  } else if (const auto copy = state_.copyOnto(phonePath)) {
    size = copy->bytes;
  } else {
    return {
        {},
        "adb: error: failed to stat remote object '" + phonePath + "': No such file or directory\n",
        1};
  }
  const fs::path destination =
      fs::is_directory(pcPath) ? fs::path(pcPath) / BaseName(phonePath) : fs::path(pcPath);
  const CopyPlan plan = PlanCopy(settings_, size);
  std::ofstream out(destination, std::ios::binary | std::ios::trunc);
  if (!out) {
    return {{}, "adb: error: cannot create '" + destination.string() + "': Permission denied\n", 1};
  }
  // Written piece by piece at the copy rate, so a test sees the file grow.
  const auto started = std::chrono::steady_clock::now();
  constexpr unsigned long long kPiece = 65536;
  std::string piece;
  for (unsigned long long written = 0; written < plan.reaches;) {
    const unsigned long long length = std::min(kPiece, plan.reaches - written);
    piece.assign(length, '\0');
    if (written < content.size()) {
      content.copy(piece.data(), std::min<std::size_t>(length, content.size() - written), written);
    }
    out.write(piece.data(), static_cast<std::streamsize>(length));
    out.flush();
    written += length;
    std::this_thread::sleep_until(
        started + std::chrono::milliseconds(static_cast<long long>(
                      static_cast<double>(written) * 1000.0 / static_cast<double>(plan.rate))));
  }
  if (plan.fails) {
    return {{},
            "adb: error: failed to copy '" + phonePath + "' to '" + destination.string() +
                "': remote read failed: Connection reset by peer\n",
            1};
  }
  return {phonePath + ": 1 file pulled, 0 skipped. (" + std::to_string(plan.reaches) + " bytes)\n",
          {},
          0};
}

void FakeAdb::runInSandbox(const std::string& text) {
  const fs::path sandbox = phone_ / "sandbox";
  const fs::path tools = phone_ / "sandbox-bin";
  fs::create_directories(sandbox);
  fs::create_directories(tools);
  if (!fs::exists(tools / "su")) {
    std::ofstream(tools / "su") << kSandboxSu;
    fs::permissions(tools / "su", fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  }
  const std::string path = tools.string() + ":/usr/bin:/bin";
  setenv("PATH", path.c_str(), 1);
  if (chdir(sandbox.c_str()) == 0) execl("/bin/sh", "sh", "-c", text.c_str(), nullptr);
  std::perror("fake adb: sandbox shell");
  _exit(99);
}

int FakeAdb::finish(const Answer& answer) {
  SleepMs(answer.delayMs);
  WriteAll(STDOUT_FILENO, answer.out);
  WriteAll(STDERR_FILENO, answer.err);
  if (answer.unplug) state_.unplug();
  if (answer.hang) {
    for (;;) pause();
  }
  return answer.exit;
}

}  // namespace orv::fake_adb
