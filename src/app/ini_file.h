#pragma once
// A small reader of INI files ("[section]" lines and "key=value" lines), for
// the link list next to the program. Section and key names match without
// regard to ASCII case, as the files are written by hand.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

class IniFile {
 public:
  // Empty when the file cannot be read. A file that is not UTF-8 is read as
  // GB18030 (files written on a Chinese Windows system).
  static std::optional<IniFile> Load(const std::string& path);
  static IniFile Parse(std::string_view text);

  // The value of `key` in `section`, or `fallback` when there is none.
  std::string read(std::string_view section, std::string_view key, std::string_view fallback) const;

 private:
  std::map<std::string, std::string> values_;  // "section\nkey", lower-cased
};

}  // namespace orv
