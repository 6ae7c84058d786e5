#include "app/ini_file.h"

#include <fstream>
#include <sstream>

#include "platform/text_codec.h"

namespace orv {
namespace {

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::string KeyOf(std::string_view section, std::string_view key) {
  return LowerAscii(std::string(section)) + '\n' + LowerAscii(std::string(key));
}

}  // namespace

std::optional<IniFile> IniFile::Load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  std::string text = bytes.str();
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  if (!IsValidUtf8(text)) text = Gb18030ToUtf8(text).value_or(text);
  return Parse(text);
}

IniFile IniFile::Parse(std::string_view text) {
  IniFile ini;
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = Trimmed(std::string_view(line).substr(1, line.size() - 2));
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    // The first value of a key counts, as with the Windows INI reader.
    ini.values_.emplace(KeyOf(section, Trimmed(std::string_view(line).substr(0, equals))),
                        Trimmed(std::string_view(line).substr(equals + 1)));
  }
  return ini;
}

std::string IniFile::read(std::string_view section, std::string_view key,
                          std::string_view fallback) const {
  const auto found = values_.find(KeyOf(section, key));
  return found == values_.end() ? std::string(fallback) : found->second;
}

}  // namespace orv
