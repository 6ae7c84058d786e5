#include "scan/learned_recognition.h"

#include <algorithm>
#include <iterator>

#include "scan/learned_carving.h"
#include "scan/learned_rows.h"
#include "scan/page_classifier.h"
#include "scan/page_format.h"
#include "scan/page_header.h"
#include "scan/record_decoder.h"
#include "scan/record_tests.h"
#include "scan/schema_record.h"
#include "scan/varint.h"
#include "scan/version_settling.h"

namespace orv {
namespace {

PageKind KindOf(LayoutTable table) {
  switch (table) {
    case LayoutTable::kCalls:
      return PageKind::kCall;
    case LayoutTable::kSms:
      return PageKind::kSms;
    default:
      return PageKind::kData;
  }
}

}  // namespace

void LearnedRecognition::addDiscoveryNotes(DiscoveryNotes&& notes, RawSource& source) {
  const std::uint64_t from = notes.firstBlock_ * kScanBlockBytes;
  const std::uint64_t end = notes.endBlock_ * kScanBlockBytes;
  for (WalLog& wal : wals_) ReadWalFrames(wal, source, from, end);
  if (from == 0) {
    catalog_ = std::move(notes.catalog_);  // the first range knows every page size it met
  } else {
    const std::uint32_t pageBytes = catalog_.databases().back().pageBytes;
    for (DiscoveryNotes::PendingSchemaRecord& pending : notes.pending_)
      if (pending.pageBytes == pageBytes)
        catalog_.noteSchemaRecord(pending.offset, std::move(pending.record));
    catalog_.append(std::move(notes.catalog_));
  }
  std::move(notes.wals_.begin(), notes.wals_.end(), std::back_inserter(wals_));
  descriptors_.insert(descriptors_.end(), notes.descriptors_.begin(), notes.descriptors_.end());
  bigPages_.merge(std::move(notes.bigPages_));
}

void LearnedRecognition::noteFirstPage(std::uint64_t offset, std::span<const std::uint8_t> page) {
  NoteFirstPageSchema(offset, page, catalog_);
}

std::vector<BigPage> LearnedRecognition::bigPages() {
  bigPageList_ = bigPages_.pages(catalog_, wals_);
  return bigPageList_;
}

void LearnedRecognition::notePage(std::span<const std::uint8_t> page, std::uint64_t offset,
                                  std::span<const std::uint16_t> pointers,
                                  const PageRecords& records) {
  if (MayHoldSchema(records, pointers.size()))
    NoteSchemaCells(page, 0, offset, pointers, pageSizeAt(offset), catalog_);
  NotePageRows(page, offset, records, false, catalog_, descriptors_);
}

std::vector<std::uint64_t> LearnedRecognition::learn() {
  layouts_.clear();
  for (LearnedLayout& learned : catalog_.layouts()) layouts_.push_back({std::move(learned)});
  std::vector<std::uint64_t> pages;
  for (const PageDescriptor& descriptor : descriptors_) {
    const std::size_t database = catalog_.databaseAt(descriptor.offset);
    const bool mayFit = std::any_of(layouts_.begin(), layouts_.end(), [&](const LayoutUse& use) {
      return use.learned.database == database && MayFit(descriptor, use.learned.layout);
    });
    if (mayFit) pages.push_back(descriptor.offset);
  }
  // Big pages were described after the discovery pass's pages; a frame's
  // page may have been both.
  std::sort(pages.begin(), pages.end());
  pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
  return pages;
}

LearnedRecognition::LayoutUse* LearnedRecognition::bestLayout(std::uint64_t offset,
                                                              const PageRecords& page,
                                                              std::size_t cells,
                                                              const LayoutTable* only) {
  const std::size_t database = catalog_.databaseAt(offset);
  const MimetypeNames& mimetypes = catalog_.databases()[database].mimetypes;
  LayoutUse* best = nullptr;
  std::size_t bestFitting = 0;
  for (LayoutUse& use : layouts_) {
    if (use.learned.database != database) continue;
    if (only != nullptr && use.learned.layout.table != *only) continue;
    const std::size_t fitting = CountFittingRecords(page, use.learned.layout, mimetypes);
    if (fitting > bestFitting) {
      best = &use;
      bestFitting = fitting;
    }
  }
  // At least 80 % of the page's cells.
  return bestFitting * 5 >= cells * 4 ? best : nullptr;
}

void LearnedRecognition::recognisePage(std::uint64_t offset, const PageRecords& page,
                                       std::size_t cells, ResultTables& tables) {
  if (page.records.empty()) return;
  LayoutUse* best = bestLayout(offset, page, cells, nullptr);
  if (best == nullptr) return;
  const DatabaseInfo& db = catalog_.databases()[catalog_.databaseAt(offset)];
  const TableLayout& layout = best->learned.layout;
  const std::uint32_t pageBytes = pageSizeAt(offset);
  const DecodedRecord& first = page.records.front().record;
  const std::string dateColumn =
      layout.table == LayoutTable::kSms ? std::to_string(layout.field(layout_field::kSmsDate)) : "";
  const std::int64_t sn =
      tables.append(ResultTable::kDbResult,
                    {std::to_string(offset), first.labelsText(),
                     std::to_string(first.columnCount()), std::to_string(offset + pageBytes),
                     std::to_string(pageBytes), std::string(PageKindFlag(KindOf(layout.table))),
                     "0D", dateColumn, std::string(kLearnedPageMark)});
  ++best->pages;
  const std::string pageSn = std::to_string(sn);
  const std::size_t database = catalog_.databaseAt(offset);
  listed_[offset] = {static_cast<std::size_t>(best - layouts_.data()), pageSn};
  for (const LiveRecord& live : page.records) {
    if (!RecordFits(live.record, layout, db.mimetypes)) continue;
    if (auto row = MakeLearnedRow(live.record, layout, db.mimetypes, pageSn)) {
      tables.append(row->table, std::move(row->cells));
      noteLiveRow(database, live.record, layout);
      ++best->rows;
    }
  }
}

std::optional<std::string> LearnedRecognition::rowKey(std::size_t database,
                                                      const DecodedRecord& record,
                                                      const TableLayout& layout) const {
  const auto row = MakeLearnedRow(record, layout, catalog_.databases()[database].mimetypes, "");
  if (!row) return std::nullopt;
  std::string key = std::to_string(database) + '|' + std::to_string(static_cast<int>(row->table));
  for (std::size_t i = 1; i < row->cells.size(); ++i) key += '|' + row->cells[i];
  return key;
}

void LearnedRecognition::noteLiveRow(std::size_t database, const DecodedRecord& record,
                                     const TableLayout& layout) {
  if (auto key = rowKey(database, record, layout)) liveKeys_.insert(std::move(*key));
}

void LearnedRecognition::carvePage(std::uint64_t offset, std::span<const std::uint8_t> bytes,
                                   std::span<const std::uint16_t> pointers,
                                   const PageRecords& page) {
  const auto listed = listed_.find(offset);
  if (listed == listed_.end()) return;
  const std::size_t database = catalog_.databaseAt(offset);
  const MimetypeNames& mimetypes = catalog_.databases()[database].mimetypes;
  LayoutUse& use = layouts_[listed->second.layout];
  const TableLayout& layout = use.learned.layout;
  for (const DecodedRecord& record :
       CarveLayoutRecords(bytes, FreeRegionsOf(bytes, pointers, page), layout, mimetypes)) {
    auto key = rowKey(database, record, layout);
    auto row = MakeLearnedRow(record, layout, mimetypes, listed->second.sn);
    if (!key || !row) continue;
    carved_.push_back({std::move(*key), std::move(*row)});
    ++use.carvedRows;
  }
}

void LearnedRecognition::finishCarving(ResultTables& tables) {
  for (CarvedRow& carved : carved_) {
    std::vector<std::string>& cells = carved.row.cells;
    cells[0] = "-1";
    // A copy of a live record, or a further copy of a deleted one.
    const bool stale = !liveKeys_.insert(carved.key).second;
    cells[DeletedColumn(carved.row.table) - 1] =
        stale ? std::string(kStaleCopyMark) : std::string(kDeletedRowMark);
    tables.append(carved.row.table, std::move(cells));
  }
  carved_.clear();
}

void LearnedRecognition::completeListedDataPage(std::uint64_t offset, const PageRecords& page,
                                                std::size_t cells, const std::string& pageSn,
                                                ResultTables& tables) {
  constexpr LayoutTable kData = LayoutTable::kData;
  constexpr std::size_t kFixedFirstText = 4;  // where the fixed layout looks for data1
  if (page.records.empty()) return;
  LayoutUse* best = bestLayout(offset, page, cells, &kData);
  if (best == nullptr || best->learned.layout.source != LayoutSource::kSchema) return;
  const TableLayout& layout = best->learned.layout;
  const MimetypeNames& mimetypes = catalog_.databases()[catalog_.databaseAt(offset)].mimetypes;
  bool added = false;
  for (const LiveRecord& live : page.records) {
    const DecodedRecord& record = live.record;
    if (record.firstTextColumn(kFixedFirstText) == layout.field(layout_field::kDataData1)) continue;
    if (!RecordFits(record, layout, mimetypes)) continue;
    if (auto row = MakeLearnedRow(record, layout, mimetypes, pageSn)) {
      tables.append(row->table, std::move(row->cells));
      noteLiveRow(catalog_.databaseAt(offset), record, layout);
      ++best->rows;
      added = true;
    }
  }
  if (!added) return;
  ++best->pages;
  // Its deleted records are carved with the same layout: the fixed carving
  // misreads them as it misread the live ones.
  listed_[offset] = {static_cast<std::size_t>(best - layouts_.data()), pageSn};
}

std::vector<std::string> LearnedRecognition::settleVersions(ResultTables& tables) {
  return SettleVersions(wals_, catalog_, tables);
}

std::size_t LearnedRecognition::pageBytesAt(std::uint64_t offset) const {
  return std::min<std::size_t>(catalog_.databases()[catalog_.databaseAt(offset)].pageBytes,
                               kPageBytes);
}

const BigPage* LearnedRecognition::bigPageAt(std::uint64_t offset) const {
  const auto at = std::lower_bound(
      bigPageList_.begin(), bigPageList_.end(), offset,
      [](const BigPage& page, std::uint64_t value) { return page.offset < value; });
  return at != bigPageList_.end() && at->offset == offset ? &*at : nullptr;
}

std::uint32_t LearnedRecognition::pageSizeAt(std::uint64_t offset) const {
  if (const BigPage* big = bigPageAt(offset)) return big->pageBytes;
  return catalog_.databases()[catalog_.databaseAt(offset)].pageBytes;
}

std::size_t LearnedRecognition::learnedPageBytes(std::uint64_t offset) const {
  if (const BigPage* big = bigPageAt(offset)) return big->pageBytes;
  return pageBytesAt(offset);
}

void LearnedRecognition::clipToPage(std::uint64_t offset, PageGaps& gaps) const {
  const auto pageBytes = static_cast<std::uint32_t>(pageBytesAt(offset));
  if (pageBytes >= kPageBytes) return;
  std::erase_if(gaps, [&](const PageGap& gap) { return gap.start >= pageBytes; });
  for (PageGap& gap : gaps) gap.end = std::min(gap.end, pageBytes);
}

std::vector<std::string> LearnedRecognition::summaryLines() const {
  std::vector<std::string> lines;
  for (const LayoutUse& use : layouts_) {
    const TableLayout& layout = use.learned.layout;
    const bool fromSchema = layout.source == LayoutSource::kSchema;
    if (!fromSchema && use.pages == 0) continue;
    const DatabaseInfo& db = catalog_.databases()[use.learned.database];
    std::string line = "识别数据格式:数据库";
    line += db.hasHeader ? "偏移值为" + std::to_string(db.offset) : std::string("(未找到文件头)");
    line += ",表" + std::string(LayoutTableName(layout.table));
    line += layout.maxColumns == kMaxTableColumns
                ? ",至少" + std::to_string(layout.minColumns) + "列"
                : "," + std::to_string(layout.maxColumns) + "列";
    line += fromSchema ? ",来源:数据库结构" : ",来源:内置格式" + layout.name;
    line += ",页数:" + std::to_string(use.pages) + ",记录数:" + std::to_string(use.rows);
    if (use.carvedRows != 0) line += ",删除记录数:" + std::to_string(use.carvedRows);
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace orv
