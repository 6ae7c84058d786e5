#pragma once
// The program keeps paths as UTF-8 text; std::filesystem takes narrow text in
// the system's code page on Windows, so paths go through here.

#include <filesystem>
#include <string>
#include <string_view>

namespace orv {

inline std::filesystem::path Utf8Path(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace orv
