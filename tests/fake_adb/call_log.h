#pragma once
// The fake adb's call log format, shared by the fake and the tests that read
// it: one `call` line with the arguments after "adb", and for `shell` one
// `phone` line with the text the phone's shell runs; fields are TAB
// separated and escaped so that any byte survives.

#include <string>
#include <string_view>
#include <vector>

namespace orv::fake_adb {

inline constexpr std::string_view kCallTag = "call";
inline constexpr std::string_view kPhoneTag = "phone";

inline std::string EscapeField(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      escaped += "\\\\";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (byte < 0x20) {
      escaped += "\\x";
      escaped += kHex[byte >> 4];
      escaped += kHex[byte & 0xF];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// Undoes EscapeField; also reads the escapes of rule texts (\r, \0).
inline std::string UnescapeField(std::string_view text) {
  auto hexValue = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    const char next = text[++i];
    if (next == 'n') {
      plain += '\n';
    } else if (next == 't') {
      plain += '\t';
    } else if (next == 'r') {
      plain += '\r';
    } else if (next == '0') {
      plain += '\0';
    } else if (next == 'x' && i + 2 < text.size() + 0 && hexValue(text[i + 1]) >= 0 &&
               hexValue(text[i + 2]) >= 0) {
      plain += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      plain += next;
    }
  }
  return plain;
}

// The TAB separated fields of one log line.
inline std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = line.find('\t', begin);
    fields.push_back(UnescapeField(line.substr(begin, end - begin)));
    if (end == std::string_view::npos) return fields;
    begin = end + 1;
  }
}

}  // namespace orv::fake_adb
