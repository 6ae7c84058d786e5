#pragma once
// Carving deleted records of the call log, the messages table and the
// contacts data table out of raw page bytes: the free-space carving searches the free
// regions of a live table leaf page, the abandoned-page carving every byte of an abandoned
// interior or index page (or of a leaf page with no cells). Both search for
// anchors (anchor_search.h), rebuild the record around one
// (carved_record.h) and write its row (carved_rows.h). Carved rows carry ID
// "-1" and DEL "DEL".
//
// Runs on the scan's worker thread. Bad bytes are never an error: a position
// that does not hold a record is passed over silently. Nothing outside the
// page is read, and a BLOB's content is never read.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "scan/anchor_mask.h"
#include "scan/column_parameters.h"
#include "scan/page_gaps.h"
#include "scan/record_decoder.h"
#include "scan/result_tables.h"
#include "scan/scan_view.h"

namespace orv {

// The free-space carving: searches the free regions `gaps` of the table leaf page at
// offset 0 of `buffer` (the page is its first 4096 bytes, or all of a shorter
// buffer) and appends carved rows to Fuck1/Fuck2/Fuck3 with
// DB-ResultNum/DataResultNum = `dbResultSn`. Region ends past the page are cut
// to it.
void CarveFreeRegions(std::span<const std::uint8_t> buffer, const PageGaps& gaps,
                      const std::string& dbResultSn, const ColumnParameters& params,
                      ResultTables& tables);

// The abandoned-page carving: searches the page of type `pageType` (0x05, 0x02, 0x0A or a
// cell-less 0x0D) at `pageOffset` of `buffer` from `firstOffset` (the page
// offset plus the header length) to the page end. When the page yields a
// record it writes one DB-Result fragment row for the page (PageType the type
// as two hex digits, Start-Offset `absolutePageOffset`) and shows "发现碎片数量:"
// with its SN in status panel 1 of `view`; the carved rows point at it. The
// fragment row comes before the page's first call or message row and after
// its first contacts-data row. Does nothing when the page would end at or past
// the read buffer's 70144 bytes or past `buffer`. `mask` marks the anchor
// positions of `buffer` for `params`; one mask serves every page of a block.
// `pageBytes` (at most 4096) is where the page ends: a smaller database page
// is followed by other pages, not by its own free space.
void CarveAbandonedPage(std::uint8_t pageType, std::size_t firstOffset,
                        std::span<const std::uint8_t> buffer, std::uint64_t absolutePageOffset,
                        std::size_t pageOffset, const AnchorMask& mask,
                        const ColumnParameters& params, ResultTables& tables, ScanView& view,
                        std::size_t pageBytes = kPageBytes);

// Whether the carving takes a record at position `p` of `page` under
// `params`, for a page that holds the whole record (on a page the record
// reaches past, the search passes over `p`). Both carvings take the records
// this takes, and only those.
[[nodiscard]] bool TakesRecordAt(std::span<const std::uint8_t> page, std::size_t p,
                                 const ColumnParameters& params);

// The abandoned-page carving of every page of one buffer. Candidate pages
// overlap (a header may stand every few bytes), so each anchor position of
// the buffer is tested and its record rebuilt once, when a page first reaches
// it; the pages that reach it later reuse the outcome. The rows are those
// CarveAbandonedPage writes page by page, and the work grows with the bytes
// the pages cover, not with how often they overlap.
class AbandonedPageCarving {
 public:
  // `buffer` must outlive this. Its anchor positions are found range by
  // range, as the pages reach them.
  AbandonedPageCarving(std::span<const std::uint8_t> buffer, const ColumnParameters& params);
  ~AbandonedPageCarving();
  AbandonedPageCarving(const AbandonedPageCarving&) = delete;
  AbandonedPageCarving& operator=(const AbandonedPageCarving&) = delete;

  // As CarveAbandonedPage, for a page of the buffer.
  void carvePage(std::uint8_t pageType, std::size_t firstOffset, std::uint64_t absolutePageOffset,
                 std::size_t pageOffset, ResultTables& tables, ScanView& view,
                 std::size_t pageBytes = kPageBytes);

  // Tests the anchor positions the page carvePage would search, ahead of it:
  // once every page of the buffer is prepared, carvePage of those pages
  // reads no byte of the buffer, which may then be gone.
  void preparePage(std::size_t firstOffset, std::size_t pageOffset,
                   std::size_t pageBytes = kPageBytes);

  // How many anchor positions have been tested so far: each at most once.
  std::size_t testedPositions() const;

 private:
  struct Outcomes;
  std::unique_ptr<Outcomes> outcomes_;
};

}  // namespace orv
