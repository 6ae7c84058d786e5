#include "device/phone_samples.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace orv::test {

std::string_view LineEndName(LineEnd end) {
  switch (end) {
    case LineEnd::kLf:
      return "LF";
    case LineEnd::kCrLf:
      return "CRLF";
    case LineEnd::kCrCrLf:
      return "CRCRLF";
  }
  return "";
}

std::string WithLineEnds(std::string_view text, LineEnd end) {
  const std::string_view ending = end == LineEnd::kLf     ? "\n"
                                  : end == LineEnd::kCrLf ? "\r\n"
                                                          : "\r\r\n";
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') {
      out += ending;
    } else {
      out += c;
    }
  }
  return out;
}

std::string PhoneSample(std::string_view phone, std::string_view name) {
  const std::string path =
      std::string(ORV_PHONES_DIR) + "/" + std::string(phone) + "/" + std::string(name);
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace orv::test
