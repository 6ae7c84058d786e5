#include "device/mount_table.h"

#include "device/line_helpers.h"

namespace orv {

std::vector<MountLine> ParseMountTable(std::string_view text) {
  std::vector<MountLine> table;
  for (const std::string_view line : SplitLines(text)) {
    const std::vector<std::string_view> words = Words(line);
    if (words.size() >= 5 && words[1] == "on" && words[3] == "type") {
      table.push_back({std::string(words[0]), std::string(words[2]), std::string(words[4])});
    } else if (words.size() >= 3) {
      table.push_back({std::string(words[0]), std::string(words[1]), std::string(words[2])});
    }
  }
  return table;
}

const MountLine* FindMount(const std::vector<MountLine>& table, std::string_view mountPoint) {
  for (const MountLine& line : table)
    if (line.mountPoint == mountPoint) return &line;
  return nullptr;
}

}  // namespace orv
