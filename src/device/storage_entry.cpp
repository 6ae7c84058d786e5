#include "device/storage_entry.h"

namespace orv {

std::array<std::string, kStorageColumnCount> StorageRowCells(const StorageEntry& entry) {
  return {std::to_string(entry.serial),
          entry.major,
          entry.minor,
          entry.blocks,
          entry.name,
          entry.fileSystem,
          entry.link,
          entry.mountPoint,
          entry.path,
          entry.size,
          entry.used,
          entry.free,
          entry.kind,
          entry.disk};
}

}  // namespace orv
