#pragma once
// Opening a physical disk for raw reading, read-only: the device node of a
// listed disk ("/dev/sdb", "\\.\PhysicalDrive2"). A regular file named as a
// disk is read the same way, which lets tests stand a file in for a disk.

#include <memory>
#include <string>

#include "platform/raw_source.h"

namespace orv {

enum class DiskOpenError {
  kNone,
  kNotFound,          // no such device (never there, or unplugged since it was listed)
  kPermissionDenied,  // the device exists; this user may not read it
  kNotReadable,       // any other failure to open, or not a disk or file
  kSizeUnknown,       // opened, but the system did not tell its length
};

struct DiskOpenResult {
  std::unique_ptr<RawSource> source;  // set when error == kNone
  DiskOpenError error = DiskOpenError::kNone;
};

// Opens `node` for reading only (on Linux O_RDONLY | O_CLOEXEC, the length
// from BLKGETSIZE64; on Windows GENERIC_READ shared with other readers and
// writers, the length from the extended drive geometry). Never opens for
// writing. Safe to call from any thread.
DiskOpenResult OpenDisk(const std::string& node);

// What a user can do when `node` could not be opened for lack of rights, in
// the words of the activity log.
std::string DiskPermissionHint(const std::string& node);

}  // namespace orv
