#include "device/partition_table.h"

#include "device/line_helpers.h"

namespace orv {
namespace {

// "major minor  #blocks  name"
bool IsHeader(const std::vector<std::string_view>& words) {
  return !words.empty() && words[0] == "major";
}

// The name is the rest of the line after the third number, trimmed.
std::string_view NameAfter(std::string_view line, std::string_view blocksWord) {
  const std::size_t end =
      static_cast<std::size_t>(blocksWord.data() - line.data()) + blocksWord.size();
  return TrimBlanks(line.substr(end));
}

}  // namespace

PartitionTable ParsePartitionTable(std::string_view text) {
  PartitionTable table;
  for (const std::string_view line : SplitLines(text)) {
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || IsHeader(words)) continue;
    const auto major = ParseDecimal32(words[0]);
    const auto minor = words.size() >= 4 ? ParseDecimal32(words[1]) : std::nullopt;
    const auto blocks = words.size() >= 4 ? ParseDecimal(words[2]) : std::nullopt;
    if (!major || !minor || !blocks) {
      ++table.droppedLines;
      continue;
    }
    Partition partition;
    partition.major = words[0];
    partition.minor = words[1];
    partition.blocks = words[2];
    partition.name = NameAfter(line, words[2]);
    partition.numbers = {*major, *minor};
    partition.blockCount = *blocks;
    table.partitions.push_back(std::move(partition));
  }
  return table;
}

const Partition* FindPartitionByName(const PartitionTable& table, std::string_view name) {
  for (const Partition& partition : table.partitions)
    if (partition.name == name) return &partition;
  return nullptr;
}

const Partition* FindPartitionOfPath(const PartitionTable& table, std::string_view devicePath) {
  for (const Partition& partition : table.partitions) {
    const std::string_view name = partition.name;
    if (name.empty() || !devicePath.ends_with(name)) continue;
    const std::size_t before = devicePath.size() - name.size();
    if (before == 0 || devicePath[before - 1] == '/') return &partition;
  }
  return nullptr;
}

const Partition* FindPartitionByNumbers(const PartitionTable& table, DeviceNumbers numbers) {
  for (const Partition& partition : table.partitions)
    if (partition.numbers == numbers) return &partition;
  return nullptr;
}

}  // namespace orv
