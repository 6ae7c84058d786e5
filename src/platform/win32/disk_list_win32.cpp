#include "platform/disk_list.h"
#include "platform/disk_numbering.h"
#include "platform/win32/physical_drive.h"

namespace orv {

std::vector<DiskInfo> ListDisks(const DiskPlaces&) {
  std::vector<DiskInfo> disks;
  // Every drive number is tried; a missing one fails fast at the open.
  for (unsigned n = 0; n <= kMaxDiskNumber; ++n) {
    const std::string path = win32::PhysicalDrivePath(n);
    const win32::UniqueHandle drive = win32::OpenForQueries(path);
    if (!drive) continue;
    const auto bytes = win32::QueryDiskBytes(drive);
    const auto descriptor = win32::QueryStorageDescriptor(drive);
    if (!bytes || *bytes == 0 || !descriptor) continue;
    DiskInfo info;
    info.kernelName = "PhysicalDrive" + std::to_string(n);
    info.node = path;
    info.number = n;
    info.bus = BusName(descriptor->busType);
    info.sizeBytes = *bytes;
    info.removable = descriptor->removable;
    info.vendor = descriptor->vendor;
    info.model = descriptor->product;
    info.revision = descriptor->revision;
    info.serial = descriptor->serial;
    disks.push_back(std::move(info));
  }
  return disks;
}

}  // namespace orv
