#include <filesystem>

#include "platform/folders.h"

namespace orv {

std::error_code CreateFolders(const std::string& path) {
  const std::filesystem::path folder(std::u8string(path.begin(), path.end()));
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return error;
  if (!std::filesystem::is_directory(folder, error))
    return error ? error : std::make_error_code(std::errc::not_a_directory);
  return {};
}

}  // namespace orv
