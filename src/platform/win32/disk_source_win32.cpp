#include <windows.h>

#include "platform/disk_source.h"
#include "platform/win32/handle_source.h"
#include "platform/win32/physical_drive.h"
#include "platform/win32/wide_text.h"

namespace orv {
namespace {

DiskOpenError ErrorOfOpen(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return DiskOpenError::kNotFound;
    case ERROR_ACCESS_DENIED:
      return DiskOpenError::kPermissionDenied;
    default:
      return DiskOpenError::kNotReadable;
  }
}

std::optional<std::uint64_t> LengthOf(const win32::UniqueHandle& handle) {
  if (const auto bytes = win32::QueryDiskBytes(handle)) return bytes;
  LARGE_INTEGER size{};  // a file standing in for a disk
  if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart < 0) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace

DiskOpenResult OpenDisk(const std::string& node) {
  const auto wide = win32::ToWideCString(node);
  if (!wide) return {nullptr, DiskOpenError::kNotFound};
  win32::UniqueHandle handle(CreateFileW(wide->c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
  if (!handle) return {nullptr, ErrorOfOpen(GetLastError())};
  const auto bytes = LengthOf(handle);
  if (!bytes) return {nullptr, DiskOpenError::kSizeUnknown};
  return {win32::AdoptReadOnlyHandle(std::move(handle), *bytes), DiskOpenError::kNone};
}

std::string DiskPermissionHint(const std::string& node) {
  return "没有读取 " + node + " 的权限。请以管理员身份运行本程序。";
}

}  // namespace orv
