#include "scan/learned_carving.h"

#include <algorithm>

#include "scan/page_format.h"
#include "scan/record_decoder.h"
#include "scan/varint.h"

namespace orv {
namespace {

constexpr std::uint32_t kOverwrittenBytes = 4;  // next freeblock (2) and size (2)
constexpr std::size_t kLongestHeader = 127;     // the header-length byte the decoder takes
constexpr std::size_t kLongestSerialType = 2;   // bytes of a serial-type varint it takes

struct Carved {
  DecodedRecord record;
  std::size_t end;  // one past the record's last content byte
};

std::size_t ContentBytes(const DecodedRecord& record) {
  std::size_t bytes = 0;
  for (const std::uint32_t size : record.sizes) bytes += size;
  return bytes;
}

// A record whose header-length byte is intact at `at`, ending by `end`.
std::optional<Carved> IntactRecord(std::span<const std::uint8_t> page, std::size_t at,
                                   std::size_t end, const TableLayout& layout,
                                   const MimetypeNames& mimetypes) {
  const std::size_t headerBytes = page[at];
  if (headerBytes <= layout.minColumns || headerBytes > kLongestHeader) return std::nullopt;
  // A text must end one byte short of the buffer given; the byte after the
  // region (or a zero past the page) stands for it.
  const auto record = DecodeRecord(page.first(std::min(page.size(), end + 1)), at, end - at);
  if (!record || !RecordFits(*record, layout, mimetypes)) return std::nullopt;
  const std::size_t recordEnd = at + headerBytes + ContentBytes(*record);
  if (recordEnd > end) return std::nullopt;
  return Carved{*record, recordEnd};
}

// Whether `count` serial-type varints the decoder takes start at `from` and
// end before `end`.
bool HoldsSerialTypes(std::span<const std::uint8_t> page, std::size_t from, std::size_t end,
                      std::size_t count) {
  for (std::size_t read = 0; read < count; ++read) {
    const auto type =
        ReadShortVarint(page.data(), end, from, static_cast<std::uint32_t>(kLongestSerialType));
    if (!type) return false;
    from += type->length;
  }
  return true;
}

// A cell at `at` whose first four bytes were overwritten. Its header-length
// byte lay at offset 2 or 3 (one-byte payload length and rowid, or one of
// them two bytes long), so its serial types start at 3 (the first, the
// rowid alias's NULL, lost) or at 4. The column count, lost with the
// header-length byte, is tried from the layout's most to its fewest; a
// record that ends where the freed size says wins over others.
std::optional<Carved> OverwrittenCell(std::span<const std::uint8_t> page, std::size_t at,
                                      std::size_t end, const TableLayout& layout,
                                      const MimetypeNames& mimetypes) {
  if (layout.rowidColumn != 0 || at + kOverwrittenBytes >= end) return std::nullopt;
  const std::size_t freed = ReadBigEndian16(&page[at + 2]);
  const std::size_t cellEnd = at + freed;
  if (freed <= kOverwrittenBytes || cellEnd > end) return std::nullopt;
  std::optional<Carved> best;
  for (const bool firstLost : {true, false}) {
    if (!HoldsSerialTypes(page, at + kOverwrittenBytes, cellEnd,
                          layout.minColumns - (firstLost ? 1 : 0)))
      continue;  // most free bytes: nothing to rebuild
    // The header rebuilt: a length byte, then the serial types and content.
    std::vector<std::uint8_t> rebuilt(1, 0);
    if (firstLost) rebuilt.push_back(0);
    rebuilt.insert(rebuilt.end(),
                   page.begin() + static_cast<std::ptrdiff_t>(at + kOverwrittenBytes),
                   page.begin() + static_cast<std::ptrdiff_t>(cellEnd));
    rebuilt.push_back(0);  // the byte a text must end short of
    const std::size_t start = at + kOverwrittenBytes - (firstLost ? 1 : 0);
    std::vector<std::size_t> headerEnds;  // after 1, 2, ... serial types
    for (std::size_t pos = 1; pos < rebuilt.size() && pos <= kLongestHeader;) {
      const auto type = ReadShortVarint(rebuilt.data(), rebuilt.size() - 1, pos,
                                        static_cast<std::uint32_t>(kLongestSerialType));
      if (!type) break;
      pos += type->length;
      headerEnds.push_back(pos);
      if (headerEnds.size() >= layout.maxColumns) break;
    }
    for (std::size_t columns = headerEnds.size();
         columns >= std::max<std::size_t>(layout.minColumns, 1); --columns) {
      const std::size_t headerBytes = headerEnds[columns - 1];
      if (headerBytes > kLongestHeader) continue;
      rebuilt[0] = static_cast<std::uint8_t>(headerBytes);
      const auto record = DecodeRecord(rebuilt, 0, rebuilt.size());
      if (!record || !RecordFits(*record, layout, mimetypes)) continue;
      const std::size_t recordEnd = start - 1 + headerBytes + ContentBytes(*record);
      if (recordEnd > cellEnd) continue;
      if (recordEnd == cellEnd) return Carved{*record, recordEnd};
      if (!best) best = Carved{*record, recordEnd};
    }
  }
  return best;
}

}  // namespace

std::vector<FreeRegion> FreeRegionsOf(std::span<const std::uint8_t> page,
                                      std::span<const std::uint16_t> pointers,
                                      const PageRecords& records) {
  if (pointers.size() != records.records.size()) return {};
  struct Extent {
    std::size_t start, end;
  };
  std::vector<Extent> cells;
  for (std::size_t i = 0; i < pointers.size(); ++i)
    cells.push_back({pointers[i], pointers[i] + std::size_t{records.records[i].cellLength}});
  std::sort(cells.begin(), cells.end(),
            [](const Extent& a, const Extent& b) { return a.start < b.start; });
  std::vector<FreeRegion> regions;
  std::size_t from = kLeafHeaderBytes + kCellPointerBytes * pointers.size();
  auto add = [&](std::size_t start, std::size_t end) {
    end = std::min(end, page.size());
    if (start < end)
      regions.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end)});
  };
  for (const Extent& cell : cells) {
    add(from, cell.start);
    from = std::max(from, cell.end);
  }
  add(from, page.size());
  return regions;
}

std::vector<DecodedRecord> CarveLayoutRecords(std::span<const std::uint8_t> page,
                                              const std::vector<FreeRegion>& regions,
                                              const TableLayout& layout,
                                              const MimetypeNames& mimetypes) {
  std::vector<DecodedRecord> carved;
  for (const FreeRegion& region : regions) {
    const std::size_t end = std::min<std::size_t>(region.end, page.size());
    for (std::size_t at = region.start; at < end;) {
      auto found = OverwrittenCell(page, at, end, layout, mimetypes);
      if (!found) found = IntactRecord(page, at, end, layout, mimetypes);
      if (!found) {
        ++at;
        continue;
      }
      carved.push_back(std::move(found->record));
      at = found->end;
    }
  }
  return carved;
}

}  // namespace orv
