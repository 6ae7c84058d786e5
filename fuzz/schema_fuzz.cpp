// Feeds arbitrary bytes to the schema-record decoder (as a leaf cell on pages
// of every size, and as a database's first page), as text to the CREATE
// TABLE parser and the layout mapping, and to the test of big leaf page
// headers (at its start and at every sector of a block no longer than the
// input).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scan/big_page_candidates.h"
#include "scan/create_table.h"
#include "scan/learned_recognition.h"
#include "scan/schema_record.h"
#include "scan/table_layout.h"

namespace {

void ParseAndMap(std::string_view sql) {
  if (const auto table = orv::ParseCreateTable(sql))
    (void)orv::MapTableLayout(*table, orv::LayoutSource::kSchema);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the page size, 512 to 65536.
  const std::uint32_t pageBytes = orv::kMinPageBytes << (data[0] % 8);
  const std::span<const std::uint8_t> cell(data + 1, size - 1);
  if (const auto record = orv::DecodeSchemaCell(cell, pageBytes)) ParseAndMap(record->sql);
  ParseAndMap(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  orv::LearnedRecognition().noteFirstPage(0, cell);
  (void)orv::BigLeafPageBytes(cell);
  orv::BigPageCandidates candidates;
  candidates.noteBlock(cell, 0);
  return 0;
}
