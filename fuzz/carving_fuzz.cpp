// Runs both deleted-record carving modules over arbitrary bytes: Module II
// over the free regions of a page at the buffer's start, Module III over a page
// anywhere in (or past) the read buffer, and Module II again over a buffer
// exactly as long as the input, so a read past its end is caught. Then
// carves overlapping pages of the buffer with one shared carving and each
// alone, and stops when their rows differ. Last, carves every candidate page
// of the buffer as the deleted-page pass does, with parameters of the
// classifier's windows, and stops when it yields rows from a block the
// discovery pass would judge barren.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "scan/block_judging.h"
#include "scan/candidate_search.h"
#include "scan/deleted_carving.h"
#include "scan/page_header.h"
#include "scan/record_decoder.h"

namespace {

class NullView : public orv::ScanView {
 public:
  void addLogLine(const orv::LogLine&) override {}
  void setGaugeRange(std::int64_t) override {}
  void setGaugePosition(std::int64_t) override {}
  void setStatus(int, const std::string&) override {}
  void showMessage(const std::string&) override {}
  void setScanButtonsEnabled(bool) override {}
};

std::uint32_t Read16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] << 8 | p[1]); }

std::vector<orv::TableRow> AllRows(const orv::ResultTables& tables) {
  std::vector<orv::TableRow> rows;
  for (const orv::ResultTable table : {orv::ResultTable::kDbResult, orv::ResultTable::kFuck1,
                                       orv::ResultTable::kFuck2, orv::ResultTable::kFuck3}) {
    const auto tableRows = tables.rows(table);
    rows.insert(rows.end(), tableRows.begin(), tableRows.end());
  }
  return rows;
}

// Pages every `step` bytes from `first`, up to 24 of them, carved with one
// shared carving and each alone: the rows must be the same.
void CompareOverlappingPages(std::span<const std::uint8_t> buffer, std::size_t first,
                             std::size_t step, std::size_t pageBytes,
                             const orv::ColumnParameters& params) {
  const orv::AnchorMask mask(buffer, params);
  NullView view;
  orv::ResultTables alone;
  orv::ResultTables shared;
  orv::AbandonedPageCarving carving(buffer, params);
  for (std::size_t i = 0, page = first; i < 24 && page < buffer.size(); ++i, page += step) {
    orv::CarveAbandonedPage(0x0A, page + 8, buffer, page, page, mask, params, alone, view,
                            pageBytes);
    carving.carvePage(0x0A, page + 8, page, page, shared, view, pageBytes);
  }
  if (AllRows(alone) != AllRows(shared)) __builtin_trap();
}

// `buffer` with a table interior page header at `at` (before the block's
// end), carved page by page as the deleted-page pass carves a block.
void CompareWithJudging(std::vector<std::uint8_t> buffer, std::size_t at,
                        const orv::ColumnParameters& params) {
  if (!orv::WithinJudgedWindows(params)) __builtin_trap();
  const std::uint8_t header[] = {0x05, 0, 0, 0, 1, 0x0B, 0xB8, 0, 0, 0, 0, 7, 0x0B, 0xB8};
  std::copy(std::begin(header), std::end(header), buffer.begin() + static_cast<std::ptrdiff_t>(at));
  const std::span<const std::uint8_t> bytes(buffer);
  NullView view;
  orv::ResultTables tables;
  orv::AbandonedPageCarving carving(bytes, params);
  orv::ForEachPageCandidate(bytes, orv::kScanBlockBytes, [&](std::size_t q) -> std::size_t {
    if (orv::IsAbandonedPageCandidate(bytes, q))
      carving.carvePage(bytes[q], q + orv::PageHeaderLength(bytes[q]), q, q, tables, view);
    return q + 1;
  });
  if (tables.rowCount(orv::ResultTable::kDbResult) != 0 && !orv::MayYieldAbandonedRecords(bytes))
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first bytes choose the parameters, the page and the free regions; the
  // rest are the page's bytes.
  constexpr std::size_t kControlBytes = 20;
  if (size < kControlBytes) return 0;
  orv::ColumnParameters params;
  params.callColumns = data[0] % 48;
  params.dataColumns = data[1] % 48;
  params.smsColumns = data[2] % 48;
  params.smsDateColumn = data[3] % 24;
  const std::uint8_t pageType = data[4];
  // Offsets up to a little past the buffer, so the "page must lie inside" rule is exercised.
  const std::size_t pageOffset =
      (std::size_t{data[5]} << 16 | Read16(data + 6)) % (orv::kReadBufferBytes + 64);
  const std::size_t firstOffset = pageOffset + data[8] % 16;
  orv::PageGaps gaps;
  for (std::size_t i = 9; i + 4 <= kControlBytes; i += 4) {
    gaps.push_back({Read16(data + i) % 4200, Read16(data + i + 2) % 4200});
  }
  const std::span<const std::uint8_t> content(data + kControlBytes, size - kControlBytes);

  std::vector<std::uint8_t> buffer(orv::kReadBufferBytes);
  std::copy_n(content.begin(), std::min(content.size(), buffer.size()), buffer.begin());
  if (pageOffset < buffer.size()) {
    std::copy_n(content.begin(), std::min(content.size(), buffer.size() - pageOffset),
                buffer.begin() + static_cast<std::ptrdiff_t>(pageOffset));
  }

  orv::ResultTables tables;
  NullView view;
  orv::CarveFreeRegions(buffer, gaps, "1", params, tables);
  orv::CarveAbandonedPage(pageType, firstOffset, buffer, pageOffset, pageOffset,
                          orv::AnchorMask(buffer, params), params, tables, view);
  const std::vector<std::uint8_t> exact(content.begin(), content.end());
  orv::CarveFreeRegions(exact, gaps, "1", params, tables);
  orv::CarveAbandonedPage(pageType, firstOffset, exact, 0, pageOffset,
                          orv::AnchorMask(exact, params), params, tables, view);
  CompareOverlappingPages(buffer, pageOffset % 4096, 1 + data[8] % 600,
                          data[8] & 1 ? orv::kPageBytes : 1024, params);
  // Each kind with a column count (and date column) inside the windows.
  const auto inWindow = [](std::uint8_t choice, int low, int high) {
    return choice & 1 ? low + (choice >> 1) % (high - low + 1) : 0;
  };
  orv::ColumnParameters listed;
  listed.callColumns = inWindow(data[0], 9, 39);
  listed.dataColumns = inWindow(data[1], 15, 39);
  listed.smsColumns = inWindow(data[2], 14, 39);
  listed.smsDateColumn = listed.smsColumns == 0 ? 0 : 4 + data[3] % (listed.smsColumns - 4);
  CompareWithJudging(buffer, pageOffset % (orv::kScanBlockBytes - 14), listed);
  return 0;
}
