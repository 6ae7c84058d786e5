#include "scan/tscan.h"

#include <exception>
#include <optional>

#include "platform/stop_flag.h"
#include "scan/block_reader.h"
#include "scan/candidate_search.h"
#include "scan/deleted_carving.h"
#include "scan/live_cells.h"
#include "scan/page_classifier.h"
#include "scan/page_header.h"
#include "scan/record_tests.h"
#include "scan/scan_source.h"
#include "scan/scan_texts.h"

namespace orv {
namespace {

constexpr std::uint64_t kSectorBytes = 512;
constexpr std::uint64_t kSectorsPerBlock = kScanBlockBytes / kSectorBytes;

// True when a 64 KiB block holds a position the deleted-page pass would hand
// to the carving of abandoned pages.
bool BlockHasAbandonedPage(std::span<const std::uint8_t> buffer) {
  bool found = false;
  ForEachPageCandidate(buffer, kScanBlockBytes, [&](std::size_t q) {
    found = IsAbandonedPageCandidate(buffer, q);
    return found ? kScanBlockBytes : q + 1;
  });
  return found;
}

// One run of the scan: the source, the passes and what they share.
class ScanRun {
 public:
  ScanRun(const ScanSettings& settings, ResultTables& tables, ScanView& view)
      : settings_(settings), tables_(tables), view_(view) {}

  ScanOutcome run() {
    view_.setScanButtonsEnabled(false);
    if (const auto failure = open()) return *failure;
    if (!discoveryPass()) return stopped();
    if (settings_.kind == ScanKind::kContactsCallsSms) {
      const bool statisticsOk = statistics();
      if (!normalSpacePass(statisticsOk)) return stopped();
      if (statisticsOk && params_.anyKnown() && !deletedPagePass()) return stopped();
    }
    complete();
    return ScanOutcome::kCompleted;
  }

 private:
  std::optional<ScanOutcome> open() {
    OpenedSource opened = OpenScanSource(settings_.scanPath);
    if (opened.failure != SourceFailure::kNone) {
      const bool noLength = opened.failure == SourceFailure::kSizeUnknown;
      view_.showMessage(noLength ? scan_text::kSizeUnknown : scan_text::kOpenFailed);
      view_.setScanButtonsEnabled(true);
      return noLength ? ScanOutcome::kSizeUnknown : ScanOutcome::kOpenFailed;
    }
    source_ = std::move(opened.source);
    totalSectors_ = source_->size() / kSectorBytes;
    view_.setStatus(0, scan_text::kStatusScanning);
    log(scan_text::kTypeLength,
        scan_text::kSourceLength + std::to_string(totalSectors_) + scan_text::kSectors);
    if (totalSectors_ < kSectorsPerBlock) {
      endStatus();
      view_.showMessage(scan_text::kTooShort);
      view_.setScanButtonsEnabled(true);
      source_.reset();
      return ScanOutcome::kTooShort;
    }
    blockCount_ = (totalSectors_ + kSectorsPerBlock - 1) / kSectorsPerBlock;
    return std::nullopt;
  }

  void log(const std::string& type, const std::string& text) {
    view_.addLogLine(MakeLogLine(type, text));
  }

  void setBlockGaugeRange() {
    view_.setGaugeRange(static_cast<std::int64_t>(totalSectors_ / kSectorsPerBlock) *
                            static_cast<std::int64_t>(kSectorsPerBlock) -
                        static_cast<std::int64_t>(kSectorsPerBlock));
  }

  void endStatus() {
    view_.setStatus(0, scan_text::kStatusReady);
    view_.setStatus(1, "");
  }

  ScanOutcome stopped() {
    log(scan_text::kTypeHint, scan_text::kStopped);
    view_.setScanButtonsEnabled(true);
    source_.reset();
    return ScanOutcome::kStopped;
  }

  // Pass 1: every byte offset of the source is tested for a table leaf page.
  bool discoveryPass() {
    setBlockGaugeRange();
    const bool carve = settings_.kind == ScanKind::kContactsCallsSms;
    abandonedPageBlocks_.assign(blockCount_, false);
    SequentialBlockReader reader(*source_, blockCount_);
    for (std::uint64_t block = 0; block < blockCount_; ++block) {
      if (StopRequested()) return false;
      view_.setGaugePosition(static_cast<std::int64_t>(block * kSectorsPerBlock));
      const auto buffer = reader.block(block);
      bool hasAbandonedPage = false;
      if (!discoverInBlock(buffer, block * kScanBlockBytes, carve, hasAbandonedPage)) return false;
      if (carve && hasAbandonedPage) abandonedPageBlocks_[block] = true;
    }
    return true;
  }

  // Tests every position of the block for a table leaf page, and notes
  // whether the block holds a page for the deleted-page pass.
  bool discoverInBlock(std::span<const std::uint8_t> buffer, std::uint64_t blockOffset, bool carve,
                       bool& hasAbandonedPage) {
    bool stopped = false;
    bool skipped = false;
    hasAbandonedPage = false;
    ForEachPageCandidate(buffer, kScanBlockBytes, [&](std::size_t q) -> std::size_t {
      if (StopRequested()) {
        stopped = true;
        return kScanBlockBytes;
      }
      if (buffer[q] != kTableLeafPage) {
        hasAbandonedPage = hasAbandonedPage || IsAbandonedPageCandidate(buffer, q);
        return q + 1;
      }
      if (!carve || !acceptLeafPage(buffer, q, blockOffset + q)) return q + 1;
      skipped = true;
      return (q / kSectorBytes + 1) * kSectorBytes;  // one page per sector
    });
    // The rest of a sector after an accepted page was not looked at here.
    if (skipped && !hasAbandonedPage) hasAbandonedPage = BlockHasAbandonedPage(buffer);
    return !stopped;
  }

  // Decodes a candidate's live cells; true when all its records share one
  // column count above 5 (the page is then classified and maybe listed).
  bool acceptLeafPage(std::span<const std::uint8_t> buffer, std::size_t q, std::uint64_t offset) {
    if (!ReadLeafPageCandidate(buffer, q, pointers_)) return false;
    const std::size_t cells = pointers_.size();
    SortCellPointersAsText(pointers_);
    if (pointers_.size() != cells) return false;
    page_.clear();
    try {
      DecodeLiveCells(pointers_, q, buffer, page_);
    } catch (const std::exception&) {
      log(scan_text::kTypeError, scan_text::kModuleOneError + std::to_string(offset));
    }
    const std::size_t k = page_.singleColumnCount();
    if (k <= 5) return false;
    if (const auto kind = classifyPage(page_)) addDiscoveredPage(*kind, offset, k);
    return true;
  }

  void addDiscoveredPage(PageKind kind, std::uint64_t offset, std::size_t k) {
    const DecodedRecord& first = page_.records.front().record;
    std::string dateColumn;
    if (kind == PageKind::kSms)
      if (const auto column = FirstDateColumn(first)) dateColumn = std::to_string(*column);
    const std::int64_t sn = tables_.append(
        ResultTable::kDbResult, {std::to_string(offset), first.labelsText(), std::to_string(k),
                                 std::to_string(offset + kPageBytes), "4096",
                                 std::string(PageKindFlag(kind)), "0D", dateColumn, ""});
    view_.setStatus(1, scan_text::kPagesFound + std::to_string(sn));
  }

  bool statistics() {
    log(scan_text::kTypeHint, scan_text::kStatistics);
    try {
      params_ = computeColumnParameters(tables_.rows(ResultTable::kDbResult));
    } catch (const std::exception&) {
      log(scan_text::kTypeHint, std::string(scan_text::kStatistics) + scan_text::kFailed);
      return false;
    }
    log(scan_text::kTypeHint, std::string(scan_text::kStatistics) + scan_text::kDone);
    return true;
  }

  // Pass 2: the listed pages' live records become rows; their free space
  // goes to the carving of deleted records.
  bool normalSpacePass(bool statisticsOk) {
    const std::vector<TableRow> listed = tables_.rows(ResultTable::kDbResult);
    if (listed.empty()) return true;
    log(scan_text::kTypeHint, scan_text::kNormalSpacePass);
    view_.setGaugeRange(static_cast<std::int64_t>(listed.size()) - 1);
    const bool carveFreeSpace = statisticsOk && params_.anyKnown();
    std::vector<std::uint8_t> buffer(kReadBufferBytes);
    for (std::size_t i = 0; i < listed.size(); ++i) {
      view_.setGaugePosition(static_cast<std::int64_t>(i));
      if (StopRequested()) return false;
      const TableRow& row = listed[i];
      const auto offset = ParseInt64(row[db_result::kStartOffset]);
      if (!offset || *offset < 0) continue;
      std::fill(buffer.begin(), buffer.end(), 0);
      source_->readAt(static_cast<std::uint64_t>(*offset), buffer.data(), kPageBytes);
      carveListedPage(row, buffer, carveFreeSpace);
    }
    return true;
  }

  void carveListedPage(const TableRow& row, std::span<const std::uint8_t> buffer,
                       bool carveFreeSpace) {
    const std::string& offsetText = row[db_result::kStartOffset];
    if (!ReadListedPagePointers(buffer, pointers_)) return;
    const std::size_t cells = pointers_.size();
    SortCellPointersAsText(pointers_);
    if (pointers_.size() != cells) return;
    page_.clear();
    try {
      DecodeLiveCells(pointers_, 0, buffer, page_);
    } catch (const std::exception&) {
      log(scan_text::kTypeError, scan_text::kModuleOneError + offsetText);
    }
    const std::string& sn = row[db_result::kSn];
    if (const auto kind = PageKindFromFlag(row[db_result::kFlag])) {
      bool extracted = false;
      try {
        extracted = extractPageRecords(*kind, page_, sn, tables_);
      } catch (const std::exception&) {
      }
      if (!extracted) log(scan_text::kTypeError, scan_text::kExtractionError + offsetText);
    }
    if (!carveFreeSpace) return;
    const auto k = ParseInt64(row[db_result::kZdCnt]);
    try {
      const PageGaps gaps = computePageGaps(pointers_, page_, k ? static_cast<std::size_t>(*k) : 0);
      CarveFreeRegions(buffer, gaps, sn, params_, tables_);
    } catch (const std::exception&) {
      log(scan_text::kTypeError, scan_text::kModuleTwoError + offsetText);
    }
  }

  // Pass 3: interior and index pages anywhere in the source may hold records
  // of deleted pages in their unused space. Only blocks where the discovery
  // pass saw such a page are read again; every position in them is tested.
  bool deletedPagePass() {
    log(scan_text::kTypeHint, scan_text::kDeletedPagePass);
    setBlockGaugeRange();
    std::vector<std::uint8_t> buffer;
    for (std::uint64_t block = 0; block < blockCount_; ++block) {
      if (!abandonedPageBlocks_[block]) continue;
      if (StopRequested()) return false;
      view_.setGaugePosition(static_cast<std::int64_t>(block * kSectorsPerBlock));
      ReadBlock(*source_, block, buffer);
      const AnchorMask anchors(buffer, params_);
      bool stopped = false;
      ForEachPageCandidate(buffer, kScanBlockBytes, [&](std::size_t q) -> std::size_t {
        if (StopRequested()) {
          stopped = true;
          return kScanBlockBytes;
        }
        if (IsAbandonedPageCandidate(buffer, q)) carveAbandonedPage(buffer, anchors, q, block);
        return q + 1;
      });
      if (stopped) return false;
    }
    return true;
  }

  void carveAbandonedPage(std::span<const std::uint8_t> buffer, const AnchorMask& anchors,
                          std::size_t q, std::uint64_t block) {
    const std::uint64_t offset = block * kScanBlockBytes + q;
    try {
      CarveAbandonedPage(buffer[q], q + PageHeaderLength(buffer[q]), buffer, offset, q, anchors,
                         params_, tables_, view_);
    } catch (const std::exception&) {
      log(scan_text::kTypeError, scan_text::kModuleThreeError + std::to_string(offset));
    }
  }

  void complete() {
    if (settings_.kind == ScanKind::kContactsCallsSms) {
      log(scan_text::kTypeHint, scan_text::kScanFinished);
      view_.setStatus(0, scan_text::kStatusReady);
      log(scan_text::kTypeOperation, std::string(scan_text::kStart) + scan_text::kSort);
      // A contact's live rows are put in the order they were written (by ID),
      // so its name and numbers stand together as the phone stored them;
      // carved rows follow them.
      tables_.sortByIntegerColumn(ResultTable::kFuck1, fuck1::kRawContactId, fuck1::kId);
      tables_.sortByIntegerColumn(ResultTable::kFuck2, fuck2::kId, fuck2::kSn);
      tables_.sortByIntegerColumn(ResultTable::kFuck3, fuck3::kId, fuck3::kSn);
      log(scan_text::kTypeOperation, std::string(scan_text::kSort) + scan_text::kDone);
      tables_.purgeFuck1();
    }
    view_.setScanButtonsEnabled(true);
    endStatus();
    source_.reset();
  }

  const ScanSettings& settings_;
  ResultTables& tables_;
  ScanView& view_;
  std::unique_ptr<RawSource> source_;
  std::uint64_t totalSectors_ = 0;
  std::uint64_t blockCount_ = 0;
  ColumnParameters params_;
  std::vector<bool> abandonedPageBlocks_;  // one bit per block: 4 MB for 2 TB
  // Working lists reused from page to page, so rejected candidates cost no
  // allocation.
  std::vector<std::uint16_t> pointers_;
  PageRecords page_;
};

}  // namespace

std::optional<LayoutMode> ParseLayoutMode(std::string_view text) {
  if (text == "spec") return LayoutMode::kSpec;
  if (text == "learned") return LayoutMode::kLearned;
  return std::nullopt;
}

Tscan::Tscan(ScanSettings settings, ResultTables& tables, ScanView& view)
    : settings_(std::move(settings)), tables_(tables), view_(view) {}

ScanOutcome Tscan::run() { return ScanRun(settings_, tables_, view_).run(); }

}  // namespace orv
