// Feeds arbitrary bytes to every parser of the phone survey, then matches,
// classifies and builds the tree from what they read, as the connection
// worker does. The input is cut at NUL bytes into the partition table, the
// space report, the mount table and the `ls -l` answer of every device.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/ls_line.h"
#include "device/mount_table.h"
#include "device/partition_table.h"
#include "device/phone_info.h"
#include "device/space_report.h"
#include "device/storage_model.h"
#include "device/storage_tree.h"

namespace {

class FuzzSink : public orv::StorageMatchSink {
 public:
  explicit FuzzSink(std::string listing) : listing_(std::move(listing)) {}
  void log(std::string_view, std::string_view) override {}
  void info(std::string_view, int) override {}
  void gaugeRange(std::size_t) override {}
  void gaugeAt(std::size_t) override {}
  std::string listDevice(const std::string&) override { return listing_; }

 private:
  std::string listing_;
};

std::vector<std::string_view> Parts(std::string_view input) {
  std::vector<std::string_view> parts;
  while (parts.size() < 3) {
    const std::size_t cut = input.find('\0');
    if (cut == std::string_view::npos) break;
    parts.push_back(input.substr(0, cut));
    input.remove_prefix(cut + 1);
  }
  parts.push_back(input);
  parts.resize(4);
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string_view> parts = Parts(input);

  (void)orv::ParseLsLine(input);
  (void)orv::LinkTargetOf(parts[3]);
  (void)orv::DeviceNumbersFromPath(parts[0]);
  (void)orv::ReadBuildProperties(input);
  (void)orv::CpuHardware(input);
  (void)orv::MemoryTotal(input);
  (void)orv::SizeText(parts[0]);

  const orv::PartitionTable partitions = orv::ParsePartitionTable(parts[0]);
  const orv::SpaceReport space = orv::ParseSpaceReport(parts[1]);
  const std::vector<orv::MountLine> mounts = orv::ParseMountTable(parts[2]);
  FuzzSink sink{std::string(parts[3])};
  const orv::StorageModel model = orv::BuildStorageModel(partitions, space, mounts, sink);
  for (const orv::StorageTreeNode& node : orv::BuildStorageTree("root", model)) {
    // Every node's entry must be in the model and its parent before it.
    if (node.entry >= static_cast<int>(model.size())) __builtin_trap();
    if (node.parent >= 0 && node.caption.empty()) __builtin_trap();
  }
  return 0;
}
