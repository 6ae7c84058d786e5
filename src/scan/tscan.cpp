#include "scan/tscan.h"

#include <optional>

#include "platform/stop_flag.h"
#include "scan/abandoned_page_blocks.h"
#include "scan/block_judging.h"
#include "scan/block_reader.h"
#include "scan/candidate_search.h"
#include "scan/deleted_carving.h"
#include "scan/discovery_pass.h"
#include "scan/learned_recognition.h"
#include "scan/live_cells.h"
#include "scan/owner_profile.h"
#include "scan/page_classifier.h"
#include "scan/page_header.h"
#include "scan/page_step_guard.h"
#include "scan/record_tests.h"
#include "scan/scan_findings.h"
#include "scan/scan_source.h"
#include "scan/scan_texts.h"
#include "scan/table_limits.h"

namespace orv {
namespace {

constexpr std::uint64_t kSectorsPerBlock = kScanBlockBytes / kSectorBytes;

// One run of the scan: the source, the passes and what they share.
class ScanRun : private DiscoveryOutput {
 public:
  ScanRun(const ScanSettings& settings, ResultTables& tables, ScanView& view,
          std::unique_ptr<RawSource> source)
      : settings_(settings), tables_(tables), view_(view), source_(std::move(source)) {
    if (settings.layouts == LayoutMode::kLearned && settings.kind == ScanKind::kContactsCallsSms)
      learned_ = std::make_unique<LearnedRecognition>();
  }

  ScanOutcome run() {
    view_.setScanButtonsEnabled(false);
    if (const auto failure = open()) return *failure;
    if (!discoveryPass()) return stopped();
    if (ProducesRows(settings_.kind)) {
      const bool statisticsOk = statistics();
      if (!normalSpacePass(statisticsOk)) return stopped();
      if (statisticsOk && params_.anyKnown() && !deletedPagePass()) return stopped();
    }
    complete();
    return ScanOutcome::kCompleted;
  }

  const ScanSummary& summary() const { return summary_; }

 private:
  std::optional<ScanOutcome> open() {
    if (!source_) {
      OpenedSource opened = OpenScanSource(settings_.source, settings_.diskPlaces);
      for (const std::string& note : opened.notes) log(scan_text::kTypeError, note);
      if (opened.failure != SourceFailure::kNone) {
        const bool noLength = opened.failure == SourceFailure::kSizeUnknown;
        view_.showMessage(noLength ? scan_text::kSizeUnknown : scan_text::kOpenFailed);
        view_.setScanButtonsEnabled(true);
        return noLength ? ScanOutcome::kSizeUnknown : ScanOutcome::kOpenFailed;
      }
      source_ = std::move(opened.source);
    }
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
    view_.setStatus(1, unreadable_.total() == 0 ? "" : UnreadableText());
  }

  // What could not be read, in the words of the log and the status bar.
  std::string UnreadableText() const {
    std::string text = scan_text::kUnreadableBytes + std::to_string(unreadable_.total()) +
                       scan_text::kUnreadableFirstAt;
    const auto offsets = unreadable_.firstOffsets(kListedUnreadableOffsets);
    for (std::size_t i = 0; i < offsets.size(); ++i)
      text += (i == 0 ? "" : ",") + std::to_string(offsets[i]);
    return text;
  }

  // Says what could not be read and how many bugs of ours were passed over,
  // once at the end of every scan that read.
  void reportLosses() {
    summary_.unreadableBytes = unreadable_.total();
    summary_.firstUnreadableOffsets = unreadable_.firstOffsets(kListedUnreadableOffsets);
    if (summary_.unreadableBytes != 0) log(scan_text::kTypeError, UnreadableText());
    if (summary_.internalErrors != 0)
      log(scan_text::kTypeError,
          scan_text::kInternalErrors + std::to_string(summary_.internalErrors));
  }

  ScanOutcome stopped() {
    reportLosses();
    log(scan_text::kTypeHint, scan_text::kStopped);
    view_.setScanButtonsEnabled(true);
    source_.reset();
    return ScanOutcome::kStopped;
  }

  // Pass 1: every byte offset of the source is tested for a table leaf page.
  bool discoveryPass() {
    setBlockGaugeRange();
    const unsigned threads =
        settings_.discoveryThreads != 0 ? settings_.discoveryThreads : DefaultDiscoveryThreads();
    DiscoveryResult result = RunDiscoveryPass(*source_, blockCount_,
                                              {.carve = ProducesRows(settings_.kind),
                                               .threads = threads,
                                               .learned = learned_.get(),
                                               .judging = settings_.blockJudging},
                                              *this, unreadable_);
    abandonedPageBlocks_ = std::move(result.abandonedPageBlocks);
    mayYieldBlocks_ = std::move(result.mayYieldBlocks);
    return result.completed;
  }

  void blockReached(std::uint64_t block) override {
    view_.setGaugePosition(static_cast<std::int64_t>(block * kSectorsPerBlock));
  }

  void pageFound(const DiscoveredPage& page) override {
    const std::int64_t sn =
        tables_.append(ResultTable::kDbResult,
                       {std::to_string(page.offset), page.labels, std::to_string(page.columnCount),
                        std::to_string(page.offset + kPageBytes), std::to_string(kPageBytes),
                        std::string(PageKindFlag(page.kind)), "0D", page.dateColumn, ""});
    view_.setStatus(1, scan_text::kPagesFound + std::to_string(sn));
  }

  void pageFailed(std::uint64_t offset) override {
    ++summary_.internalErrors;
    log(scan_text::kTypeError, scan_text::kLiveCellsError + std::to_string(offset));
  }

  // Decodes the live cells of the page at `pageStart` of `buffer` (image offset `offset`)
  // into page_; false when the stop flag or a bug cut it short.
  bool decodeLiveCells(std::span<const std::uint8_t> buffer, std::size_t pageStart,
                       std::uint64_t offset) {
    page_.clear();
    LiveCellsOutcome outcome = LiveCellsOutcome::kStopped;
    const bool ran = guarded(scan_text::kLiveCellsError, offset, [&] {
      outcome = DecodeLiveCells(pointers_, pageStart, buffer, page_, learned_ != nullptr);
    });
    return ran && outcome == LiveCellsOutcome::kCompleted;
  }

  // Runs one decoding step of the page at `offset` behind the bug firewall;
  // a bug is logged with the module's error text and the offset, and counted.
  template <class Step>
  bool guarded(const char* errorText, std::uint64_t offset, Step&& step) {
    return RunPageStep(step, [&] {
      ++summary_.internalErrors;
      log(scan_text::kTypeError, errorText + std::to_string(offset));
    });
  }

  bool statistics() {
    log(scan_text::kTypeHint, scan_text::kStatistics);
    const bool ran = RunPageStep(
        [&] { params_ = computeColumnParameters(tables_.rows(ResultTable::kDbResult)); },
        [&] { ++summary_.internalErrors; });
    if (!ran) {
      log(scan_text::kTypeHint, std::string(scan_text::kStatistics) + scan_text::kFailed);
      return false;
    }
    log(scan_text::kTypeHint, std::string(scan_text::kStatistics) + scan_text::kDone);
    return true;
  }

  // Pass 2: the listed pages' live records become rows; their free space
  // goes to the carving of deleted records.
  bool normalSpacePass(bool statisticsOk) {
    // The pages listed so far; carving lists more meanwhile, which are not read.
    const std::size_t listed = tables_.rowCount(ResultTable::kDbResult);
    if (listed == 0) return learnedPagesPass();
    log(scan_text::kTypeHint, scan_text::kNormalSpacePass);
    view_.setGaugeRange(static_cast<std::int64_t>(listed) - 1);
    const bool carveFreeSpace = statisticsOk && params_.anyKnown();
    std::vector<std::uint8_t> buffer(kReadBufferBytes);
    for (std::size_t i = 0; i < listed; ++i) {
      view_.setGaugePosition(static_cast<std::int64_t>(i));
      if (StopRequested()) return false;
      const TableRow row = tables_.row(ResultTable::kDbResult, i);
      const auto offset = ParseInt64(row[db_result::kStartOffset]);
      if (!offset || *offset < 0) continue;
      const auto start = static_cast<std::uint64_t>(*offset);
      carveListedPage(row, start, readListedPage(start, buffer), carveFreeSpace);
    }
    return learnedPagesPass();
  }

  // The pages that may fit a layout learned from the image: each is read,
  // and listed with its rows when it fits one.
  // Contacts-data pages the fixed layout listed are read again too, for the
  // records it misread.
  bool learnedPagesPass() {
    if (!learned_) return true;
    std::vector<std::uint8_t> buffer(kReadBufferBytes);
    if (!bigPagesPass(buffer)) return false;
    const std::vector<std::uint64_t> learnedPages = learned_->learn();
    const std::size_t listed = tables_.rowCount(ResultTable::kDbResult);
    for (std::size_t i = 0; i < listed; ++i) {
      const TableRow row = tables_.row(ResultTable::kDbResult, i);
      const auto offset = ParseInt64(row[db_result::kStartOffset]);
      if (row[db_result::kFlag] != PageKindFlag(PageKind::kData) || !offset || *offset < 0)
        continue;
      if (StopRequested()) return false;
      const auto start = static_cast<std::uint64_t>(*offset);
      readLearnedPage(start, buffer, [&](std::size_t cells, std::span<const std::uint8_t> page) {
        learned_->completeListedDataPage(start, page_, cells, row[db_result::kSn], tables_);
        learned_->carvePage(start, page.first(learned_->learnedPageBytes(start)), pointers_, page_);
      });
    }
    for (const std::uint64_t offset : learnedPages) {
      if (StopRequested()) return false;
      readLearnedPage(offset, buffer, [&](std::size_t cells, std::span<const std::uint8_t> page) {
        learned_->recognisePage(offset, page_, cells, tables_);
        learned_->carvePage(offset, page.first(learned_->learnedPageBytes(offset)), pointers_,
                            page_);
      });
    }
    learned_->finishCarving(tables_);
    for (const std::string& line : learned_->settleVersions(tables_))
      log(scan_text::kTypeHint, line);
    for (const std::string& line : learned_->summaryLines()) log(scan_text::kTypeHint, line);
    if (const std::size_t owner = MarkOwnerRows(tables_))
      log(scan_text::kTypeHint, OwnerRowsText(owner));
    return true;
  }

  // The pages larger than the discovery pass sees, read whole and noted as
  // it notes the others, before the layouts are learned.
  bool bigPagesPass(std::vector<std::uint8_t>& buffer) {
    for (const BigPage& big : learned_->bigPages()) {
      if (StopRequested()) return false;
      if (big.firstPage) {
        const auto page = readListedPage(big.offset, buffer, big.pageBytes);
        learned_->noteFirstPage(big.offset, page.first(big.pageBytes));
        continue;
      }
      readLearnedPage(big.offset, buffer, [&](std::size_t, std::span<const std::uint8_t> page) {
        if (page[0] == kTableLeafPage) learned_->notePage(page, big.offset, pointers_, page_);
      });
    }
    return true;
  }

  // Reads and decodes the page at `offset` (4096 bytes, or a big page's
  // size) into page_, then runs `step` with its cell count and bytes behind
  // the bug firewall.
  template <class Step>
  void readLearnedPage(std::uint64_t offset, std::vector<std::uint8_t>& buffer, Step&& step) {
    const std::size_t pageBytes = std::max(kPageBytes, learned_->learnedPageBytes(offset));
    const auto page = readListedPage(offset, buffer, pageBytes);
    if (!ReadListedPagePointers(page, pointers_, pageBytes)) return;
    const std::size_t cells = pointers_.size();
    SortCellPointersAsText(pointers_);
    if (!decodeLiveCells(page, 0, offset)) return;
    (void)guarded(scan_text::kExtractionError, offset, [&] { step(cells, page); });
  }

  // The page of `pageBytes` at `offset`, read as the whole sectors that
  // cover it (raw disks refuse other reads), followed by zeros to the end of
  // a read buffer.
  std::span<const std::uint8_t> readListedPage(std::uint64_t offset,
                                               std::vector<std::uint8_t>& buffer,
                                               std::size_t pageBytes = kPageBytes) {
    static_assert(kReadBufferBytes >= (kSectorBytes - 1 + kMaxPageBytes + kSectorBytes - 1) /
                                          kSectorBytes * kSectorBytes,
                  "the largest page at any byte of a sector lies in a read buffer");
    const std::size_t inSector = offset % kSectorBytes;
    const std::size_t covering =
        (inSector + pageBytes + kSectorBytes - 1) / kSectorBytes * kSectorBytes;
    const std::span<std::uint8_t> whole(buffer);
    ReadSectors(*source_, offset - inSector, whole.first(covering), unreadable_);
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(inSector + pageBytes), buffer.end(), 0);
    return whole.subspan(inSector, kReadBufferBytes - inSector);
  }

  void carveListedPage(const TableRow& row, std::uint64_t offset,
                       std::span<const std::uint8_t> buffer, bool carveFreeSpace) {
    if (!ReadListedPagePointers(buffer, pointers_)) return;
    const std::size_t cells = pointers_.size();
    SortCellPointersAsText(pointers_);
    if (pointers_.size() != cells) return;
    if (!decodeLiveCells(buffer, 0, offset)) return;
    const std::string& sn = row[db_result::kSn];
    if (const auto kind = PageKindFromFlag(row[db_result::kFlag])) {
      bool extracted = true;
      const bool ran = guarded(scan_text::kExtractionError, offset,
                               [&] { extracted = extractPageRecords(*kind, page_, sn, tables_); });
      // A record whose date cannot be shown stops the page's rows: bad data,
      // logged as the page's extraction error, not counted as our bug.
      if (ran && !extracted)
        log(scan_text::kTypeError, scan_text::kExtractionError + std::to_string(offset));
    }
    if (!carveFreeSpace) return;
    const auto k = ParseInt64(row[db_result::kColumnCount]);
    (void)guarded(scan_text::kFreeSpaceCarvingError, offset, [&] {
      PageGaps gaps = computePageGaps(pointers_, page_, k ? static_cast<std::size_t>(*k) : 0);
      if (learned_) learned_->clipToPage(offset, gaps);
      CarveFreeRegions(buffer, gaps, sn, params_, tables_);
    });
  }

  // Pass 3: interior and index pages anywhere in the source may hold records
  // of deleted pages in their unused space. Only blocks where the discovery
  // pass saw such a page that may yield records are read again; every
  // position in them is tested, ahead on worker threads, and their rows are
  // written here block by block.
  bool deletedPagePass() {
    log(scan_text::kTypeHint, scan_text::kDeletedPagePass);
    setBlockGaugeRange();
    const unsigned threads =
        settings_.discoveryThreads != 0 ? settings_.discoveryThreads : DefaultDiscoveryThreads();
    const LearnedRecognition* learned = learned_.get();
    // The discovery pass judged the blocks for every parameter of the
    // classifier's windows; parameters outside them need every block.
    const std::vector<bool>& flagged =
        WithinJudgedWindows(params_) ? mayYieldBlocks_ : abandonedPageBlocks_;
    PreparedBlockStream blocks(
        *source_, flagged, params_,
        [learned](std::uint64_t offset) {
          return learned ? learned->pageBytesAt(offset) : kPageBytes;
        },
        threads, unreadable_);
    while (const auto prepared = blocks.next()) {
      if (StopRequested()) return false;
      view_.setGaugePosition(static_cast<std::int64_t>(prepared->block * kSectorsPerBlock));
      for (const PreparedPage& page : prepared->pages) {
        if (StopRequested()) return false;
        carveAbandonedPage(*prepared, page);
      }
    }
    return blocks.reachedEnd();
  }

  void carveAbandonedPage(const PreparedBlock& block, const PreparedPage& page) {
    const std::uint64_t offset = block.block * kScanBlockBytes + page.pageOffset;
    (void)guarded(scan_text::kAbandonedPageCarvingError, offset, [&] {
      if (page.failure) std::rethrow_exception(page.failure);
      block.carving->carvePage(page.pageType, page.firstOffset, offset, page.pageOffset, tables_,
                               view_, page.pageBytes);
    });
  }

  void complete() {
    reportLosses();
    if (ProducesRows(settings_.kind)) {
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
      log(scan_text::kTypeHint, ScanFindingsText(SummariseFindings(tables_)));
    }
    view_.setScanButtonsEnabled(true);
    endStatus();
    source_.reset();
  }

  // The first offsets of unreadable bytes named in the log and the status bar.
  static constexpr std::size_t kListedUnreadableOffsets = 5;

  const ScanSettings& settings_;
  ResultTables& tables_;
  ScanView& view_;
  std::unique_ptr<RawSource> source_;
  std::unique_ptr<LearnedRecognition> learned_;  // in learned mode only
  UnreadableBytes unreadable_;
  ScanSummary summary_;
  std::uint64_t totalSectors_ = 0;
  std::uint64_t blockCount_ = 0;
  ColumnParameters params_;
  std::vector<bool> abandonedPageBlocks_;  // one bit per block: 4 MB for 2 TB
  std::vector<bool> mayYieldBlocks_;       // those that may yield records
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

Tscan::Tscan(ScanSettings settings, ResultTables& tables, ScanView& view,
             std::unique_ptr<RawSource> source)
    : settings_(std::move(settings)), tables_(tables), view_(view), source_(std::move(source)) {}

ScanOutcome Tscan::run() {
  ScanRun scan(settings_, tables_, view_, std::move(source_));
  const ScanOutcome outcome = scan.run();
  summary_ = scan.summary();
  return outcome;
}

}  // namespace orv
