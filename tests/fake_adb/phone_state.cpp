#include "fake_adb/phone_state.h"

#include <chrono>
#include <fstream>
#include <sstream>

namespace orv::fake_adb {
namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& path, const std::string& text, bool append = false) {
  std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  out << text;
}

// A path as one file name of the state folder.
std::string FlatName(const std::string& path) {
  std::string name;
  for (const char c : path) name += c == '/' ? '!' : c;
  return name;
}

}  // namespace

long long CopyPlan::durationMs() const {
  return static_cast<long long>(static_cast<double>(reaches) * 1000.0 / static_cast<double>(rate));
}

unsigned long long CopyPlan::bytesAfter(long long elapsedMs) const {
  if (elapsedMs <= 0) return 0;
  const double done = static_cast<double>(rate) * static_cast<double>(elapsedMs) / 1000.0;
  return done >= static_cast<double>(reaches) ? reaches : static_cast<unsigned long long>(done);
}

CopyPlan PlanCopy(const Settings& settings, unsigned long long size) {
  CopyPlan plan;
  plan.size = size;
  plan.reaches = size;
  plan.rate = settings.copyRate;
  const std::string& end = settings.copyEnd;
  if (end != "complete") {
    const unsigned long long at = std::stoull(end.substr(end.find(':') + 1));
    plan.reaches = std::min(at, size);
    plan.fails = end.starts_with("fail:");
  }
  return plan;
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

PhoneState::PhoneState(fs::path folder) : folder_(std::move(folder)) {
  fs::create_directories(folder_ / "modes");
}

bool PhoneState::startServer() {
  const fs::path marker = folder_ / "server-running";
  if (fs::exists(marker)) return false;
  WriteText(marker, "");
  return true;
}

void PhoneState::killServer() {
  std::error_code ignored;
  fs::remove(folder_ / "server-running", ignored);
}

std::string PhoneState::connectedAddress() const { return ReadFileBytes(folder_ / "connected"); }

void PhoneState::setConnectedAddress(const std::string& address) {
  WriteText(folder_ / "connected", address);
}

bool PhoneState::unplugged() const { return fs::exists(folder_ / "unplugged"); }
void PhoneState::unplug() { WriteText(folder_ / "unplugged", ""); }

void PhoneState::startCopy(const std::string& target, const CopyPlan& plan) {
  std::ostringstream line;
  line << NowMs() << ' ' << plan.size << ' ' << plan.reaches << ' ' << plan.rate << ' ' << target
       << '\n';
  WriteText(folder_ / "copies", line.str(), true);
}

std::optional<PhoneState::CopyNow> PhoneState::copyOnto(const std::string& target) const {
  std::optional<CopyNow> latest;
  std::istringstream copies(ReadFileBytes(folder_ / "copies"));
  for (std::string line; std::getline(copies, line);) {
    std::istringstream fields(line);
    long long started = 0;
    CopyPlan plan;
    std::string copyTarget;
    fields >> started >> plan.size >> plan.reaches >> plan.rate;
    std::getline(fields >> std::ws, copyTarget);
    if (copyTarget != target && !target.empty()) continue;
    const long long elapsed = NowMs() - started;
    const bool running = elapsed < plan.durationMs();
    if (target.empty() && !running) continue;
    latest = CopyNow{plan.bytesAfter(elapsed), running};
  }
  return latest;
}

bool PhoneState::anyCopyRunning() const {
  const auto copy = copyOnto("");
  return copy && copy->running;
}

std::string PhoneState::modeOf(const DeclaredFile& file) const {
  const std::string changed = ReadFileBytes(folder_ / "modes" / FlatName(file.path));
  return changed.empty() ? file.mode : changed;
}

void PhoneState::recordChmod(const std::string& mode, const std::string& path,
                             const DeclaredFile* declared) {
  WriteText(folder_ / "chmod.log", mode + " " + path + "\n", true);
  if (declared == nullptr) return;
  const std::string changed = ApplyOctalMode(modeOf(*declared), mode);
  if (!changed.empty()) WriteText(folder_ / "modes" / FlatName(path), changed);
}

std::string ApplyOctalMode(const std::string& mode, const std::string& octal) {
  if ((octal.size() != 3 && octal.size() != 4) || mode.size() != 10) return {};
  for (const char digit : octal) {
    if (digit < '0' || digit > '7') return {};
  }
  // A fourth (leading) digit holds set-user-ID (4), set-group-ID (2), sticky (1).
  const int special = octal.size() == 4 ? octal[0] - '0' : 0;
  const std::string rights = octal.substr(octal.size() - 3);
  std::string changed = mode;
  for (int who = 0; who < 3; ++who) {
    const int bits = rights[static_cast<std::size_t>(who)] - '0';
    const std::size_t at = 1 + static_cast<std::size_t>(who) * 3;
    changed[at] = (bits & 4) ? 'r' : '-';
    changed[at + 1] = (bits & 2) ? 'w' : '-';
    const bool execute = (bits & 1) != 0;
    const bool marked = (special & (4 >> who)) != 0;
    const char letter = who == 2 ? 't' : 's';
    changed[at + 2] =
        marked ? (execute ? letter : static_cast<char>(letter - 'a' + 'A')) : (execute ? 'x' : '-');
  }
  return changed;
}

}  // namespace orv::fake_adb
