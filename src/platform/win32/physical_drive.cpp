#include "platform/win32/physical_drive.h"

#include <windows.h>
#include <winioctl.h>

#include <array>

#include "platform/win32/wide_text.h"

namespace orv::win32 {
namespace {

// Room for the fixed part and the identification texts of any descriptor.
constexpr DWORD kDescriptorBufferBytes = 1024;

}  // namespace

std::string PhysicalDrivePath(unsigned number) {
  return "\\\\.\\PhysicalDrive" + std::to_string(number);
}

UniqueHandle OpenForQueries(const std::string& path) {
  const auto wide = ToWideCString(path);
  if (!wide) return UniqueHandle();
  return UniqueHandle(CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

std::optional<std::uint64_t> QueryDiskBytes(const UniqueHandle& drive) {
  DISK_GEOMETRY_EX geometry{};
  DWORD returned = 0;
  if (!DeviceIoControl(drive.get(), IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, nullptr, 0, &geometry,
                       sizeof geometry, &returned, nullptr))
    return std::nullopt;
  if (returned < offsetof(DISK_GEOMETRY_EX, DiskSize) + sizeof geometry.DiskSize ||
      geometry.DiskSize.QuadPart < 0)
    return std::nullopt;
  return static_cast<std::uint64_t>(geometry.DiskSize.QuadPart);
}

std::optional<StorageDescriptor> QueryStorageDescriptor(const UniqueHandle& drive) {
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  std::array<std::uint8_t, kDescriptorBufferBytes> answer{};
  DWORD returned = 0;
  if (!DeviceIoControl(drive.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                       answer.data(), static_cast<DWORD>(answer.size()), &returned, nullptr))
    return std::nullopt;
  return ParseStorageDescriptor(
      std::span<const std::uint8_t>(answer).first(std::min<std::size_t>(returned, answer.size())));
}

}  // namespace orv::win32
