#pragma once
// A phone profile as the fake adb reads it: phone.conf settings and the rule
// blocks of `rules` (the format is described in README.md).

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::fake_adb {

struct DeclaredFile {
  std::string path;
  std::string mode;  // "-rw-rw----"
  unsigned long long size = 0;
  std::string content;  // a file of the profile folder, or empty
};

struct Settings {
  std::string devices = "device";
  std::string serial = "0123456789ABCDEF";
  std::string devicesFormat = "debian";
  std::string devicesLineEnd;  // empty: crlf for the legacy Windows form, else lf
  std::string daemonStart = "none";
  std::string lineEnd = "lf";
  std::optional<bool> pty;  // unset: yes unless lineEnd is lf
  std::string su = "granted";
  std::string connect = "success";
  std::string lsStyle = "toolbox";
  bool netcfg = true;
  bool psListsDd = true;
  unsigned long long copyRate = 104857600;
  unsigned long long copySize = 1048576;
  std::string copyEnd = "complete";
  std::string shell = "profile";
  std::vector<DeclaredFile> files;

  bool legacyDeviceList() const {
    return devicesFormat == "legacy-windows" || devices == "legacy-windows";
  }
  bool usesPty() const { return pty.value_or(lineEnd != "lf"); }
};

struct Rule {
  std::string command;
  std::map<std::string, std::string> options;
  std::string option(const std::string& key, std::string fallback = {}) const {
    const auto found = options.find(key);
    return found == options.end() ? fallback : found->second;
  }
};

struct Profile {
  std::filesystem::path folder;
  Settings settings;
  std::vector<Rule> rules;
};

// Reads the profile in `folder`; empty optional with `error` set when a file
// is malformed (an unknown key, a value out of its list).
std::optional<Profile> LoadProfile(const std::filesystem::path& folder, std::string& error);

// The last rule for `command` that allows the way it came (with su or not).
const Rule* FindRule(const Profile& profile, std::string_view command, bool viaSu);

// `text` (stored with LF) with every LF turned into the line end named
// `lineEnd` ("lf", "crlf", "crcrlf"; "raw" and "lf" leave it as it is).
std::string ConvertLineEnds(std::string_view text, std::string_view lineEnd);

// The bytes of a file, empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace orv::fake_adb
