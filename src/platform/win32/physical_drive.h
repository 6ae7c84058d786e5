#pragma once
// The device-control queries of one physical drive, "\\.\PhysicalDriveN".

#include <cstdint>
#include <optional>
#include <string>

#include "platform/storage_descriptor.h"
#include "platform/win32/unique_handle.h"

namespace orv::win32 {

std::string PhysicalDrivePath(unsigned number);

// Opens `path` with no access rights (enough for the queries), sharing read
// and write; empty holder when there is no such drive.
UniqueHandle OpenForQueries(const std::string& path);

// The disk size in bytes from the extended drive geometry.
std::optional<std::uint64_t> QueryDiskBytes(const UniqueHandle& drive);

// The storage device descriptor, read no further than the bytes the query
// returned.
std::optional<StorageDescriptor> QueryStorageDescriptor(const UniqueHandle& drive);

}  // namespace orv::win32
