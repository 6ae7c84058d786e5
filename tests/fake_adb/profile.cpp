#include "fake_adb/profile.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace orv::fake_adb {
namespace {

std::string Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

bool OneOf(const std::string& value, std::initializer_list<std::string_view> allowed) {
  return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

bool ReadYesNo(const std::string& value, bool& into) {
  if (value != "yes" && value != "no") return false;
  into = value == "yes";
  return true;
}

bool ReadCount(const std::string& value, unsigned long long& into) {
  if (value.empty() || !std::all_of(value.begin(), value.end(), ::isdigit)) return false;
  into = std::stoull(value);
  return true;
}

bool ReadDeclaredFile(const std::string& value, DeclaredFile& file) {
  std::istringstream words(value);
  std::string size;
  words >> file.path >> file.mode >> size >> file.content;
  return !file.path.empty() && file.mode.size() == 10 && ReadCount(size, file.size);
}

// Applies one phone.conf line; false when the key or value is not known.
bool ApplySetting(Settings& s, const std::string& key, const std::string& value) {
  if (key == "devices") {
    s.devices = value;
    return OneOf(value, {"device", "none", "offline", "unauthorized", "no-permissions", "recovery",
                         "two", "legacy-windows"});
  }
  if (key == "serial") return !(s.serial = value).empty();
  if (key == "devices-format") {
    s.devicesFormat = value;
    return OneOf(value, {"debian", "legacy-windows"});
  }
  if (key == "devices-line-end") {
    s.devicesLineEnd = value;
    return OneOf(value, {"lf", "crlf", "crcrlf"});
  }
  if (key == "daemon-start") {
    s.daemonStart = value;
    return OneOf(value, {"none", "stdout", "stderr"});
  }
  if (key == "line-end") {
    s.lineEnd = value;
    return OneOf(value, {"lf", "crlf", "crcrlf"});
  }
  if (key == "pty") {
    bool pty = false;
    if (!ReadYesNo(value, pty)) return false;
    s.pty = pty;
    return true;
  }
  if (key == "su") {
    s.su = value;
    return OneOf(value, {"granted", "refused-stdout", "refused-stderr", "missing", "hang"});
  }
  if (key == "connect") {
    s.connect = value;
    return OneOf(value, {"success", "refused"});
  }
  if (key == "ls-style") {
    s.lsStyle = value;
    return OneOf(value, {"toolbox", "toybox"});
  }
  if (key == "netcfg") return ReadYesNo(value, s.netcfg);
  if (key == "ps-lists-dd") return ReadYesNo(value, s.psListsDd);
  if (key == "copy-rate") return ReadCount(value, s.copyRate) && s.copyRate > 0;
  if (key == "copy-size") return ReadCount(value, s.copySize);
  if (key == "copy-end") {
    s.copyEnd = value;
    unsigned long long ignored = 0;
    return value == "complete" || ((value.starts_with("short:") || value.starts_with("fail:")) &&
                                   ReadCount(value.substr(value.find(':') + 1), ignored));
  }
  if (key == "shell") {
    s.shell = value;
    return OneOf(value, {"profile", "sandbox"});
  }
  if (key == "file") {
    DeclaredFile file;
    if (!ReadDeclaredFile(value, file)) return false;
    s.files.push_back(std::move(file));
    return true;
  }
  return false;
}

const std::set<std::string> kRuleKeys = {"out",    "text",     "err",  "exit", "line-end",
                                         "repeat", "delay-ms", "hang", "via",  "unplug"};

}  // namespace

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::optional<Profile> LoadProfile(const std::filesystem::path& folder, std::string& error) {
  Profile profile;
  profile.folder = folder;
  if (!std::filesystem::is_directory(folder)) {
    error = "no profile folder " + folder.string();
    return std::nullopt;
  }
  std::istringstream conf(ReadFileBytes(folder / "phone.conf"));
  for (std::string line; std::getline(conf, line);) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string::npos ||
        !ApplySetting(profile.settings, Trim(trimmed.substr(0, equals)),
                      Trim(trimmed.substr(equals + 1)))) {
      error = "phone.conf: cannot use the line: " + trimmed;
      return std::nullopt;
    }
  }
  std::istringstream rules(ReadFileBytes(folder / "rules"));
  for (std::string line; std::getline(rules, line);) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (trimmed.front() == '[' && trimmed.back() == ']') {
      profile.rules.push_back({trimmed.substr(1, trimmed.size() - 2), {}});
      continue;
    }
    const std::size_t equals = trimmed.find('=');
    const std::string key = Trim(trimmed.substr(0, equals));
    if (profile.rules.empty() || equals == std::string::npos || !kRuleKeys.contains(key)) {
      error = "rules: cannot use the line: " + trimmed;
      return std::nullopt;
    }
    // A value keeps its inner blanks; only the blanks around '=' go.
    std::string value = trimmed.substr(equals + 1);
    value.erase(0, value.find_first_not_of(" \t"));
    profile.rules.back().options[key] = value;
  }
  return profile;
}

const Rule* FindRule(const Profile& profile, std::string_view command, bool viaSu) {
  for (auto rule = profile.rules.rbegin(); rule != profile.rules.rend(); ++rule) {
    if (rule->command != command) continue;
    const std::string via = rule->option("via", "any");
    if (via == "any" || (via == "su") == viaSu) return &*rule;
  }
  return nullptr;
}

std::string ConvertLineEnds(std::string_view text, std::string_view lineEnd) {
  const std::string_view end = lineEnd == "crlf" ? "\r\n" : lineEnd == "crcrlf" ? "\r\r\n" : "\n";
  std::string converted;
  converted.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') {
      converted += end;
    } else {
      converted += c;
    }
  }
  return converted;
}

}  // namespace orv::fake_adb
