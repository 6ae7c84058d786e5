#include "scan/deleted_carving.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "scan/anchor_mask.h"
#include "scan/anchor_search.h"
#include "scan/carved_record.h"
#include "scan/carved_rows.h"
#include "scan/record_decoder.h"

namespace orv {
namespace {

// The DB-Result row the carved rows of one search point at: for the free-space carving the
// page's row from the discovery pass; for the abandoned-page carving a fragment row written
// once, when the page yields its first record.
class PageResultRow {
 public:
  explicit PageResultRow(std::string sn) : sn_(std::move(sn)) {}
  PageResultRow(std::uint8_t pageType, std::uint64_t absoluteOffset, ScanView& view)
      : fragment_(Fragment{pageType, absoluteOffset, &view}) {}

  // The SN rows point at; for a fragment row not written yet, the SN it will get.
  std::string sn(const ResultTables& tables) const {
    if (sn_) return *sn_;
    return std::to_string(tables.rowCount(ResultTable::kDbResult) + 1);
  }

  // Writes the fragment row unless it exists, describing it by `cause`.
  void ensureWritten(const DecodedRecord& cause, std::string_view flag, ResultTables& tables) {
    if (sn_) return;
    RowCells cells(ResultTableColumns(ResultTable::kDbResult).size() - 1);
    cells[db_result::kStartOffset - 1] = std::to_string(fragment_->absoluteOffset);
    cells[db_result::kZdType - 1] = cause.labelsText();
    cells[db_result::kColumnCount - 1] = std::to_string(cause.columnCount());
    cells[db_result::kEndOffset - 1] = std::to_string(fragment_->absoluteOffset + kPageBytes);
    cells[db_result::kFileLen - 1] = std::to_string(kPageBytes);
    cells[db_result::kFlag - 1] = flag;
    char pageType[3];
    std::snprintf(pageType, sizeof pageType, "%02X", fragment_->pageType);
    cells[db_result::kPageType - 1] = pageType;
    sn_ = std::to_string(tables.append(ResultTable::kDbResult, std::move(cells)));
    fragment_->view->setStatus(1, "发现碎片数量:" + *sn_);
  }

 private:
  struct Fragment {
    std::uint8_t pageType;
    std::uint64_t absoluteOffset;
    ScanView* view;
  };
  std::optional<std::string> sn_;  // none while the fragment row is not written
  std::optional<Fragment> fragment_;
};

struct Search {
  std::span<const std::uint8_t> page;
  const AnchorMask& mask;  // over the buffer the page lies in
  std::size_t pageOffset;  // of the page in that buffer
  const ColumnParameters& params;
  ResultTables& tables;
  PageResultRow& pageRow;
};

// Each Carve* function handles a rebuilt record found at anchor position `p`
// and returns where the search goes on.
std::size_t CarveCall(Search& search, const CarvedRecord& carved, std::size_t p) {
  if (!PassesCallPretest(carved.record)) return p + 1;
  search.pageRow.ensureWritten(carved.record, "Call", search.tables);
  search.tables.append(ResultTable::kFuck2,
                       BuildCallRow(carved.record, search.pageRow.sn(search.tables)));
  return std::max(carved.contentEnd, p + 1);
}

std::size_t CarveMessage(Search& search, const CarvedRecord& carved, std::size_t p) {
  const auto dateColumn = static_cast<std::size_t>(search.params.smsDateColumn);
  if (!PassesMessagePretest(carved.record, dateColumn)) return p + 1;
  search.pageRow.ensureWritten(carved.record, "Sms", search.tables);
  if (auto row = BuildMessageRow(carved.record, dateColumn, search.pageRow.sn(search.tables))) {
    search.tables.append(ResultTable::kFuck3, std::move(*row));
  }
  return std::max(carved.contentEnd, p + 1);
}

std::size_t CarveData(Search& search, const CarvedRecord& carved, std::size_t p) {
  if (!PassesDataPretest(carved.record)) return p + 1;
  auto row = BuildDataRow(carved.record, search.pageRow.sn(search.tables));
  if (!row) return p + 1;
  search.tables.append(ResultTable::kFuck1, std::move(*row));
  search.pageRow.ensureWritten(carved.record, "Data", search.tables);
  // A contacts row is short; the next one may begin inside this one's content.
  return std::max(carved.contentStart, p + 1);
}

std::size_t CarveAt(Search& search, const Anchor& anchor, std::size_t p) {
  const auto carved = RebuildRecord(search.page, anchor.firstTypePos, anchor.columnCount);
  if (!carved) return p + 1;
  switch (anchor.kind) {
    case RecordKind::kCall:
      return CarveCall(search, *carved, p);
    case RecordKind::kMessage:
      return CarveMessage(search, *carved, p);
    case RecordKind::kData:
      return CarveData(search, *carved, p);
  }
  return p + 1;
}

// Searches page offsets [from, to).
void SearchRange(Search& search, std::size_t from, std::size_t to) {
  to = std::min(to, search.page.size());
  const std::size_t base = search.pageOffset;
  std::size_t p = from;
  while (p < to) {
    p = search.mask.next(base + p, base + to) - base;
    if (p >= to) break;
    const auto anchor = MatchAnchor(search.page, p, search.params);
    p = anchor ? CarveAt(search, *anchor, p) : p + 1;
  }
}

}  // namespace

void CarveFreeRegions(std::span<const std::uint8_t> buffer, const PageGaps& gaps,
                      const std::string& dbResultSn, const ColumnParameters& params,
                      ResultTables& tables) {
  PageResultRow pageRow(dbResultSn);
  const auto page = buffer.first(std::min(buffer.size(), kPageBytes));
  const AnchorMask mask(page, params);
  Search search{page, mask, 0, params, tables, pageRow};
  for (const PageGap& gap : gaps) SearchRange(search, gap.start, gap.end);
}

void CarveAbandonedPage(std::uint8_t pageType, std::size_t firstOffset,
                        std::span<const std::uint8_t> buffer, std::uint64_t absolutePageOffset,
                        std::size_t pageOffset, const AnchorMask& mask,
                        const ColumnParameters& params, ResultTables& tables, ScanView& view,
                        std::size_t pageBytes) {
  const std::size_t limit = std::min(buffer.size(), kReadBufferBytes - 1);
  if (pageOffset > limit || limit - pageOffset < kPageBytes) return;
  const std::size_t end = std::min(pageBytes, kPageBytes);
  PageResultRow pageRow(pageType, absolutePageOffset, view);
  Search search{buffer.subspan(pageOffset, end), mask, pageOffset, params, tables, pageRow};
  SearchRange(search, firstOffset > pageOffset ? firstOffset - pageOffset : 0, end);
}

}  // namespace orv
