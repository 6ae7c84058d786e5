#pragma once
// The storage model built from the three tables of the survey: the partition
// table names and sizes what can be imaged, the space report tells which
// volumes are mounted and how full they are, the mount table (and, for the
// five-column report, `ls -l` of each mounted device) ties a volume to its
// partition. Then the entries are classified: logical disk, internal or
// external SD card, OTG storage, and the physical disk the system lies on.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "device/mount_table.h"
#include "device/partition_table.h"
#include "device/space_report.h"
#include "device/storage_entry.h"

namespace orv {

// Pictures of the information items the classification adds.
inline constexpr int kInfoImageCard = 11;

// What the matching reports as it goes, and the one phone command it needs.
class StorageMatchSink {
 public:
  virtual ~StorageMatchSink() = default;
  // An activity-log line.
  virtual void log(std::string_view type, std::string_view description) = 0;
  // A phone information item (label and value, without the leading line end).
  virtual void info(std::string_view caption, int image) = 0;
  // Gauge over the space report's rows: range once, then each row's index.
  virtual void gaugeRange(std::size_t rows) = 0;
  virtual void gaugeAt(std::size_t row) = 0;
  // What `ls -l` prints for `devicePath`, a path that passed the phone-path
  // check; empty when the command failed or printed nothing.
  virtual std::string listDevice(const std::string& devicePath) = 0;
};

// Matches and classifies; entries get the serials 1, 2, ... in the order they
// are made. Every text read from the phone that goes into a command passes
// the phone-path check first; a refused one is logged and its row skipped.
// Device numbers are compared as numbers, read from the last component of a
// vold path (/dev/block/vold/179:97).
StorageModel BuildStorageModel(const PartitionTable& partitions, const SpaceReport& space,
                               const std::vector<MountLine>& mounts, StorageMatchSink& sink);

}  // namespace orv
