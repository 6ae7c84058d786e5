#include "scan/live_cells.h"

#include <algorithm>
#include <array>

#include "platform/stop_flag.h"
#include "scan/page_format.h"
#include "scan/record_decoder.h"
#include "scan/varint.h"

namespace orv {
namespace {

// A key whose numeric order is the text order of the pointer's decimal form:
// each of the (at most five) digit places holds digit + 1, or 0 past the last
// digit, so a prefix sorts first as it does in a text comparison.
constexpr std::uint32_t TextOrderKey(std::uint16_t value) {
  char digits[5] = {};
  int count = 0;
  do {
    digits[count++] = static_cast<char>(value % 10);
    value /= 10;
  } while (value);
  std::uint32_t key = 0;
  for (int place = 0; place < 5; ++place) {
    const int index = count - 1 - place;
    key = key * 11 + (index >= 0 ? static_cast<std::uint32_t>(digits[index] + 1) : 0);
  }
  return key;
}

// The keys of every pointer a page can hold, computed once.
struct TextOrderKeys {
  std::array<std::uint32_t, kPageBytes> keys{};
  constexpr TextOrderKeys() {
    for (std::size_t value = 0; value < kPageBytes; ++value)
      keys[value] = TextOrderKey(static_cast<std::uint16_t>(value));
  }
  std::uint32_t operator()(std::uint16_t value) const {
    return value < kPageBytes ? keys[value] : TextOrderKey(value);
  }
};
constexpr TextOrderKeys kTextOrderKeys;

void InsertColumnCount(std::vector<std::size_t>& counts, std::size_t count) {
  const auto at = std::lower_bound(counts.begin(), counts.end(), count);
  if (at == counts.end() || *at != count) counts.insert(at, count);
}

}  // namespace

void SortCellPointersAsText(std::vector<std::uint16_t>& pointers) {
  std::sort(pointers.begin(), pointers.end(),
            [](std::uint16_t a, std::uint16_t b) { return kTextOrderKeys(a) < kTextOrderKeys(b); });
  pointers.erase(std::unique(pointers.begin(), pointers.end()), pointers.end());
}

LiveCellsOutcome DecodeLiveCellHeaders(std::span<const std::uint16_t> pointers,
                                       std::size_t pageOffset, std::span<const std::uint8_t> buffer,
                                       PageRecords& out, bool anyRowid) {
  const std::size_t size = buffer.size();
  for (const std::uint16_t pointer : pointers) {
    if (StopRequested()) return LiveCellsOutcome::kStopped;
    const std::size_t cell = pageOffset + pointer;
    // Table leaf cell: payload-length varint, rowid varint, then the record.
    const auto payload = ReadShortVarint(buffer.data(), size, cell, 2);
    if (!payload || payload->value == 0) continue;
    const std::size_t rowidPos = cell + payload->length;
    const auto rowid = anyRowid ? ReadFullVarint(buffer.data(), size, rowidPos)
                                : ReadShortVarint(buffer.data(), size, rowidPos, 5);
    if (!rowid) continue;
    const std::size_t headerPos = cell + payload->length + rowid->length;
    if (headerPos >= size) continue;
    const std::uint8_t headerLength = buffer[headerPos];
    if (headerLength == 0 || headerLength > 127 || headerPos + headerLength > size) continue;

    LiveRecord& live = out.addRecord();
    if (!DecodeRecordHeader(buffer, headerPos, payload->value, live.record)) {
      out.dropLastRecord();
      continue;
    }
    live.cellLength = static_cast<std::uint32_t>(payload->length + rowid->length + payload->value);
    live.rowid = static_cast<std::int64_t>(rowid->value);
    live.headerPos = headerPos;
    InsertColumnCount(out.columnCounts, live.record.columnCount());
  }
  return LiveCellsOutcome::kCompleted;
}

void DecodeLiveValues(std::span<const std::uint8_t> buffer, PageRecords& page, std::size_t first) {
  for (std::size_t i = first; i < page.records.size(); ++i) {
    LiveRecord& live = page.records[i];
    DecodeRecordValues(buffer, live.headerPos, live.record);
    live.record.values[0] = std::to_string(live.rowid);
  }
}

LiveCellsOutcome DecodeLiveCells(std::span<const std::uint16_t> pointers, std::size_t pageOffset,
                                 std::span<const std::uint8_t> buffer, PageRecords& out,
                                 bool anyRowid) {
  const std::size_t first = out.records.size();
  const LiveCellsOutcome outcome =
      DecodeLiveCellHeaders(pointers, pageOffset, buffer, out, anyRowid);
  DecodeLiveValues(buffer, out, first);
  return outcome;
}

}  // namespace orv
