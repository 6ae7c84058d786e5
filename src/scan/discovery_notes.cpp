#include "scan/discovery_notes.h"

#include <algorithm>

#include "scan/page_format.h"
#include "scan/page_header.h"
#include "scan/record_decoder.h"
#include "scan/schema_record.h"
#include "scan/varint.h"

namespace orv {
namespace {

constexpr std::size_t kDatabaseHeaderBytes = 100;  // page 1's b-tree header follows it
constexpr std::string_view kMimetypePrefix = "vnd.android.cursor.item/";
constexpr std::size_t kMimetypeColumns = 2;
constexpr std::size_t kSchemaColumns = 5;
constexpr std::size_t kFewestLayoutColumns = 5;  // a call log of 2.x: _id .. type

// The cell at `pointer` of the page at `pageStart`, up to the page's end or
// the buffer's, whichever comes first.
std::span<const std::uint8_t> CellBytes(std::span<const std::uint8_t> buffer, std::size_t pageStart,
                                        std::size_t pointer, std::uint32_t pageBytes) {
  if (pointer >= pageBytes || pageStart + pointer >= buffer.size()) return {};
  return buffer.subspan(
      pageStart + pointer,
      std::min<std::size_t>(pageBytes - pointer, buffer.size() - pageStart - pointer));
}

}  // namespace

bool MayHoldSchema(const PageRecords& page, std::size_t cells) {
  if (page.records.size() < cells) return true;  // a record may overflow the page
  return std::any_of(page.records.begin(), page.records.end(), [](const LiveRecord& live) {
    return live.record.columnCount() == kSchemaColumns && live.record.labels[0] == 'T';
  });
}

void NoteFirstPageSchema(std::uint64_t offset, std::span<const std::uint8_t> page,
                         SchemaCatalog& catalog) {
  const auto pageBytes = static_cast<std::uint32_t>(page.size());
  const std::size_t btree = kDatabaseHeaderBytes;
  if (btree + kLeafHeaderBytes > page.size() || page[btree] != kTableLeafPage) return;
  const std::size_t cells = ReadBigEndian16(&page[btree + 3]);
  for (std::size_t i = 0; i < cells; ++i) {
    const std::size_t at = btree + kLeafHeaderBytes + kCellPointerBytes * i;
    if (at + kCellPointerBytes > page.size()) break;
    if (auto record =
            DecodeSchemaCell(CellBytes(page, 0, ReadBigEndian16(&page[at]), pageBytes), pageBytes))
      catalog.noteSchemaRecord(offset, std::move(*record));
  }
}

void NoteSchemaCells(std::span<const std::uint8_t> buffer, std::size_t q, std::uint64_t offset,
                     std::span<const std::uint16_t> pointers, std::uint32_t pageBytes,
                     SchemaCatalog& catalog) {
  for (const std::uint16_t pointer : pointers)
    if (auto record = DecodeSchemaCell(CellBytes(buffer, q, pointer, pageBytes), pageBytes))
      catalog.noteSchemaRecord(offset, std::move(*record));
}

void NotePageRows(std::span<const std::uint8_t> buffer, std::uint64_t offset,
                  const PageRecords& page, bool recognised, SchemaCatalog& catalog,
                  std::vector<PageDescriptor>& descriptors) {
  std::size_t widest = 0;
  for (const LiveRecord& live : page.records) {
    const DecodedRecord& record = live.record;
    widest = std::max(widest, record.columnCount());
    if (record.columnCount() != kMimetypeColumns || record.labels[1] != 'T') continue;
    // The page's values may not have been decoded: the text is read here.
    std::string mimetype = TextValue(
        buffer.subspan(live.headerPos + buffer[live.headerPos] + record.sizes[0], record.sizes[1]));
    if (mimetype.starts_with(kMimetypePrefix))
      catalog.noteMimetype(offset, live.rowid, std::move(mimetype));
  }
  if (!recognised && widest >= kFewestLayoutColumns)
    descriptors.push_back(DescribePage(offset, page));
}

DiscoveryNotes::DiscoveryNotes(std::uint64_t firstBlock, std::uint64_t endBlock)
    : firstBlock_(firstBlock), endBlock_(endBlock) {}

bool DiscoveryNotes::pageSizeKnown(std::uint64_t offset) const {
  return firstBlock_ == 0 || catalog_.databaseAt(offset) != 0;
}

void DiscoveryNotes::noteBlock(std::span<const std::uint8_t> buffer, std::uint64_t blockOffset) {
  for (std::size_t s = 0; s < kScanBlockBytes; s += kSectorBytes) {
    bigPages_.noteSector(buffer.subspan(s), blockOffset + s);
    if (auto wal = ReadWalHeader(buffer.subspan(s), blockOffset + s)) wals_.push_back(*wal);
    if (!catalog_.noteHeader(blockOffset + s, buffer.subspan(s))) continue;
    // Page 1 holds the schema table's root, a leaf in small databases; a page
    // larger than the buffer holds is read whole after the pass.
    const std::uint32_t pageBytes = catalog_.databases().back().pageBytes;
    if (pageBytes <= kPageBytes)
      NoteFirstPageSchema(blockOffset + s, buffer.subspan(s, pageBytes), catalog_);
  }
  for (WalLog& wal : wals_) NoteWalFrames(wal, buffer, blockOffset, blockOffset + kScanBlockBytes);
}

void DiscoveryNotes::notePage(std::span<const std::uint8_t> buffer, std::size_t q,
                              std::uint64_t offset, std::span<const std::uint16_t> pointers,
                              const PageRecords& page, bool recognised) {
  if (MayHoldSchema(page, pointers.size())) {
    if (pageSizeKnown(offset)) {
      NoteSchemaCells(buffer, q, offset, pointers,
                      catalog_.databases()[catalog_.databaseAt(offset)].pageBytes, catalog_);
    } else {
      for (std::uint32_t pageBytes = kMinPageBytes; pageBytes <= kMaxPageBytes; pageBytes *= 2)
        for (const std::uint16_t pointer : pointers)
          if (auto record = DecodeSchemaCell(CellBytes(buffer, q, pointer, pageBytes), pageBytes))
            pending_.push_back({pageBytes, offset, std::move(*record)});
    }
  }
  NotePageRows(buffer, offset, page, recognised, catalog_, descriptors_);
}

}  // namespace orv
