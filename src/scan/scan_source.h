#pragma once
// What a scan reads, as a typed value, and opening it read-only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/disk_list.h"
#include "platform/raw_source.h"
#include "scan/usb_disk_line.h"

namespace orv {

// What identifies a disk beyond its number, which after a re-plug may name
// another disk.
struct DiskIdentity {
  std::uint64_t sizeBytes = 0;
  std::string model;
  std::string serial;  // empty when the system does not tell it
};

struct ScanSource {
  enum class Kind { kFile, kDisk };

  ScanSource() = default;
  // A scan path as typed or passed on the command line: a USB disk line
  // ("USB  " + 1 to 3 digits + ":") names a disk by its number; a whole
  // disk's device node ("/dev/sdb", "/dev/mmcblk0", "\\.\PhysicalDrive1")
  // names that disk; every other text is a file path.
  ScanSource(std::string text);  // NOLINT: a scan path converts as it reads
  ScanSource(const char* text) : ScanSource(std::string(text)) {}  // NOLINT: as above
  // A file chosen as a file, whatever its name.
  static ScanSource File(std::string path);
  // The disk the chooser listed, remembered as it was then.
  static ScanSource ChosenDisk(const DiskInfo& disk);
  // A disk read through its device node, whatever the listing says of it.
  static ScanSource DiskNode(std::string node);

  Kind kind = Kind::kFile;
  std::string text;  // what the scan path shows
  std::string path;  // the file or the device node; empty: find the disk by number
  std::optional<unsigned> diskNumber;  // as the text wrote it (not yet checked)
  std::optional<DiskIdentity> listed;  // the chosen disk as it was when listed
};

enum class SourceFailure { kNone, kSizeUnknown, kOpenFailed };

struct OpenedSource {
  std::unique_ptr<RawSource> source;
  SourceFailure failure = SourceFailure::kNone;
  std::vector<std::string> notes;  // why it failed, for the activity log
};

// Opens what `source` names for reading. A file that does not exist has no
// length (kSizeUnknown); one that exists but cannot be read, or a directory,
// fails to open (kOpenFailed). A disk named by number must have a number of
// 0-255 and be listed now among the chooser's disks under `places`, else it
// has no length; a disk whose size, model or serial differ from what was
// listed (or, for a typed line, whose line differs) is refused as kOpenFailed
// before a byte is read, and so is a disk this user may not read (a note then
// says what to do).
OpenedSource OpenScanSource(const ScanSource& source, const DiskPlaces& places = {});

}  // namespace orv
