#include <windows.h>

#include "platform/folders.h"
#include "platform/win32/wide_text.h"

namespace orv {
namespace {

std::error_code LastError() { return {static_cast<int>(GetLastError()), std::system_category()}; }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Length of the part of `path` that names a drive or share, which is never
// created: "C:\", "\", "\\?\C:\", "\\server\share\", "\\?\UNC\server\share\".
std::size_t RootLength(const std::wstring& path) {
  std::size_t start = 0;
  std::size_t components = 0;  // server and share of a UNC path
  if (path.starts_with(LR"(\\?\UNC\)")) {
    start = 8;
    components = 2;
  } else if (path.starts_with(LR"(\\?\)")) {
    start = 4;
  } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    start = 2;
    components = 2;
  }
  std::size_t end = start;
  for (; components > 0 && end < path.size(); --components) {
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end < path.size()) ++end;
  }
  if (components == 0 && end == start) {
    if (path.size() >= start + 2 && path[start + 1] == L':') end = start + 2;  // drive letter
    if (end < path.size() && IsSeparator(path[end])) ++end;
  }
  return end;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::error_code CreateFolders(const std::string& path) {
  const auto wide = win32::ToWidePath(path);
  if (!wide || wide->empty()) return std::make_error_code(std::errc::invalid_argument);
  // Each folder from the root down, the way mkdir -p goes.
  const std::size_t root = RootLength(*wide);
  for (std::size_t i = root; i <= wide->size(); ++i) {
    if (i < wide->size() && !IsSeparator((*wide)[i])) continue;
    if (i == root || IsSeparator((*wide)[i - 1])) continue;  // empty part
    const std::wstring folder = wide->substr(0, i);
    if (!CreateDirectoryW(folder.c_str(), nullptr) && !IsFolder(folder)) return LastError();
  }
  if (!IsFolder(*wide)) return std::make_error_code(std::errc::not_a_directory);
  return {};
}

}  // namespace orv
