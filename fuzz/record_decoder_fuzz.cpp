// Feeds arbitrary bytes to the record decoder and to the live-cell path of
// the discovery pass: leaf page header test, Module I, classification, row
// extraction and gap computation, as the scan runs them on a read buffer.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "scan/live_cells.h"
#include "scan/page_classifier.h"
#include "scan/page_header.h"
#include "scan/record_decoder.h"

namespace {

std::uint16_t Take16(const std::uint8_t*& data, std::size_t& size) {
  if (size < 2) return 0;
  const std::uint16_t value = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
  data += 2;
  size -= 2;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint16_t headerPos = Take16(data, size);
  const std::uint16_t payload = Take16(data, size);
  const std::uint16_t place = Take16(data, size);

  // The input lands in the buffer at an offset the input chooses, so cells
  // near the buffer's end are reached too; the rest stays zero.
  std::vector<std::uint8_t> buffer(orv::kReadBufferBytes, 0);
  const std::size_t at = place % orv::kReadBufferBytes;
  std::memcpy(buffer.data() + at, data, std::min(size, buffer.size() - at));

  (void)orv::DecodeRecord(buffer, at + headerPos % 256, payload);
  (void)orv::DecodeRecord(buffer, orv::kReadBufferBytes - 1 - headerPos % 128, payload);

  std::vector<std::uint16_t> pointers;
  orv::ResultTables tables;
  for (std::size_t q = at; q < at + std::min<std::size_t>(size, 64) && q < orv::kScanBlockBytes;
       ++q) {
    if (!orv::ReadLeafPageCandidate(buffer, q, pointers)) continue;
    orv::SortCellPointersAsText(pointers);
    orv::PageRecords page;
    if (orv::DecodeLiveCells(pointers, q, buffer, page) != orv::LiveCellsOutcome::kCompleted)
      continue;
    if (const auto kind = orv::classifyPage(page))
      (void)orv::extractPageRecords(*kind, page, "1", tables);
    for (auto kind : {orv::PageKind::kCall, orv::PageKind::kSms, orv::PageKind::kData})
      (void)orv::extractPageRecords(kind, page, "1", tables);
    (void)orv::computePageGaps(pointers, page, page.singleColumnCount());
  }
  return 0;
}
