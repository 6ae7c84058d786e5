#pragma once
// The whole disks attached to the computer, as the system describes them:
// sysfs on Linux, the device-control queries of "\\.\PhysicalDriveN" on
// Windows. Reads only descriptions; no disk is opened for reading here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv {

struct DiskInfo {
  std::string kernelName;          // "sdb", "mmcblk0"; "PhysicalDrive2" on Windows
  std::string node;                // what is opened to read it: "/dev/sdb", "\\.\PhysicalDrive2"
  std::optional<unsigned> number;  // the disk number of the chooser (0-255), when it has one
  std::string bus;                 // "USB", "SD", "ATA", "NVMe", ...; "Unknow" when not known
  std::uint64_t sizeBytes = 0;
  bool removable = false;
  // Blank-trimmed; empty where the system does not say.
  std::string vendor;
  std::string model;
  std::string revision;
  std::string serial;
};

// Where the system describes its disks. Tests point these at fixture trees;
// Windows has no such places and ignores them.
struct DiskPlaces {
  std::string sysBlock = "/sys/block";  // one folder per whole disk
  std::string devices = "/dev";         // the device nodes, named like the folders
};

// Every whole disk with a size above 0, ordered by disk number (disks without
// one last, by name). On Linux: loop, ram, zram, dm, md, sr and nbd devices are
// left out. A disk whose description cannot be read is left out silently.
std::vector<DiskInfo> ListDisks(const DiskPlaces& places = {});

}  // namespace orv
