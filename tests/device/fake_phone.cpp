#include "device/fake_phone.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "fake_adb/call_log.h"

namespace orv::testing {
namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteWhole(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool RememberVariable(const char* name, std::string& value) {
  const char* old = getenv(name);
  if (old != nullptr) value = old;
  return old != nullptr;
}

void RestoreVariable(const char* name, bool had, const std::string& value) {
  if (had) {
    setenv(name, value.c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

fs::path FakePhone::ProfilesFolder() { return ORV_PHONE_PROFILES; }

FakePhone::FakePhone(std::string_view profile) {
  const fs::path source = ProfilesFolder() / profile;
  if (profile.empty() || !fs::is_directory(source)) {
    throw std::runtime_error("no phone profile " + std::string(profile));
  }
  std::string pattern = (fs::temp_directory_path() / "orv-phone-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
  folder_ = pattern;
  fs::copy(source, profileFolder(), fs::copy_options::recursive);
  // A copy, not a link: the fake finds its phone folder beside itself too.
  fs::copy_file(ORV_FAKE_ADB_PATH, folder_ / "adb");
  fs::permissions(profileFolder(), fs::perms::owner_all, fs::perm_options::add);

  hadPath_ = RememberVariable("PATH", oldPath_);
  hadPhone_ = RememberVariable("ORV_FAKE_PHONE", oldPhone_);
  const std::string path = folder_.string() + (hadPath_ ? ":" + oldPath_ : std::string());
  setenv("PATH", path.c_str(), 1);
  setenv("ORV_FAKE_PHONE", folder_.c_str(), 1);
}

FakePhone::~FakePhone() {
  RestoreVariable("PATH", hadPath_, oldPath_);
  RestoreVariable("ORV_FAKE_PHONE", hadPhone_, oldPhone_);
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
}

void FakePhone::set(std::string_view key, std::string_view value) {
  const fs::path conf = profileFolder() / "phone.conf";
  std::string kept;
  for (const std::string& line : LinesOf(ReadWhole(conf))) {
    const std::size_t equals = line.find('=');
    std::string lineKey = line.substr(0, equals);
    lineKey.erase(lineKey.find_last_not_of(" \t") + 1);
    if (equals != std::string::npos && lineKey == key) continue;
    kept += line + "\n";
  }
  kept += std::string(key) + " = " + std::string(value) + "\n";
  WriteWhole(conf, kept);
}

void FakePhone::addFile(std::string_view phonePath, std::string_view mode, unsigned long long size,
                        const fs::path& content) {
  std::ofstream conf(profileFolder() / "phone.conf", std::ios::app);
  conf << "file = " << phonePath << ' ' << mode << ' ' << size;
  if (!content.empty()) conf << ' ' << content.string();
  conf << '\n';
}

void FakePhone::addRule(std::string_view command,
                        const std::vector<std::pair<std::string, std::string>>& options) {
  std::ofstream rules(profileFolder() / "rules", std::ios::app);
  rules << "\n[" << command << "]\n";
  for (const auto& [key, value] : options) rules << key << " = " << value << '\n';
}

void FakePhone::writeProfileFile(std::string_view name, std::string_view bytes) {
  WriteWhole(profileFolder() / name, bytes);
}

std::vector<FakePhone::Call> FakePhone::calls() const {
  std::vector<Call> calls;
  for (const std::string& line : LinesOf(ReadWhole(folder_ / "calls.log"))) {
    std::vector<std::string> fields = fake_adb::SplitFields(line);
    if (fields.front() == fake_adb::kCallTag) {
      fields.erase(fields.begin());
      calls.push_back({std::move(fields), {}});
    } else if (fields.front() == fake_adb::kPhoneTag && fields.size() == 2 && !calls.empty()) {
      calls.back().phoneCommand = fields[1];
    }
  }
  return calls;
}

std::vector<std::string> FakePhone::phoneCommands() const {
  std::vector<std::string> commands;
  for (const Call& call : calls()) {
    if (!call.phoneCommand.empty()) commands.push_back(call.phoneCommand);
  }
  return commands;
}

std::vector<std::string> FakePhone::chmodLog() const {
  return LinesOf(ReadWhole(folder_ / "state" / "chmod.log"));
}

void FakePhone::clearCalls() { WriteWhole(folder_ / "calls.log", ""); }

}  // namespace orv::testing
