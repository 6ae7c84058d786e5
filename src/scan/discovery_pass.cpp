#include "scan/discovery_pass.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/stop_flag.h"
#include "scan/block_judging.h"
#include "scan/candidate_search.h"
#include "scan/discovery_notes.h"
#include "scan/live_cells.h"
#include "scan/page_format.h"
#include "scan/page_header.h"
#include "scan/page_step_guard.h"
#include "scan/table_limits.h"

namespace orv {
namespace {

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

// Whether the deleted-page pass may carve records out of the block; a bug
// of ours keeps the block, so that pass meets it again and reports it.
bool MayYield(std::span<const std::uint8_t> buffer) {
  try {
    return MayYieldAbandonedRecords(buffer);
  } catch (...) {
    return true;
  }
}

// The walk over one range of blocks.
class RangeWalk {
 public:
  RangeWalk(BlockRun range, const DiscoveryOptions& options, const std::atomic<bool>& abandoned)
      : range_(range),
        carve_(options.carve),
        judging_(options.judging),
        anyRowid_(options.learned != nullptr),
        abandoned_(abandoned),
        flagged_(range.end - range.first, false),
        mayYieldBlocks_(range.end - range.first, false) {
    if (options.learned) notes_.emplace(range.first, range.end);
  }

  // False when the stop flag (or the pass's abandonment) cut it short.
  bool run(RawSource& source, UnreadableBytes& unreadable, DiscoveryOutput& output) {
    output_ = &output;
    SequentialBlockReader reader(source, {range_}, unreadable);
    for (std::uint64_t block = range_.first; block < range_.end; ++block) {
      if (stopRequested()) return false;
      output.blockReached(block);
      const auto buffer = reader.block(block);
      bool hasAbandonedPage = false;
      if (!discoverInBlock(buffer, block * kScanBlockBytes, hasAbandonedPage)) return false;
      if (carve_ && hasAbandonedPage) {
        flagged_[block - range_.first] = true;
        mayYieldBlocks_[block - range_.first] = mayYield(buffer, reader);
      }
    }
    return true;
  }

  const BlockRun& range() const { return range_; }
  const std::vector<bool>& flagged() const { return flagged_; }
  const std::vector<bool>& mayYieldBlocks() const { return mayYieldBlocks_; }
  std::optional<DiscoveryNotes>& notes() { return notes_; }

 private:
  bool stopRequested() const { return StopRequested() || abandoned_.load(); }

  // Whether the deleted-page pass must read the block again: unless it is
  // judged, and judged barren.
  bool mayYield(std::span<const std::uint8_t> buffer, const SequentialBlockReader& reader) {
    if (judging_ == BlockJudging::kNone) return true;
    if (judging_ == BlockJudging::kWhileWaiting && judgingTime_ >= reader.waited()) return true;
    const auto start = std::chrono::steady_clock::now();
    const bool may = MayYield(buffer);
    judgingTime_ += std::chrono::steady_clock::now() - start;
    return may;
  }

  // Tests every position of the block for a table leaf page, and notes
  // whether the block holds a page for the deleted-page pass.
  bool discoverInBlock(std::span<const std::uint8_t> buffer, std::uint64_t blockOffset,
                       bool& hasAbandonedPage) {
    bool stopped = false;
    bool skipped = false;
    hasAbandonedPage = false;
    if (notes_) notes_->noteBlock(buffer, blockOffset);
    ForEachPageCandidate(buffer, kScanBlockBytes, [&](std::size_t q) -> std::size_t {
      if (stopRequested()) {
        stopped = true;
        return kScanBlockBytes;
      }
      if (buffer[q] != kTableLeafPage) {
        hasAbandonedPage = hasAbandonedPage || IsAbandonedPageCandidate(buffer, q);
        return q + 1;
      }
      if (!carve_ || !acceptLeafPage(buffer, q, blockOffset + q)) return q + 1;
      skipped = true;
      return (q / kSectorBytes + 1) * kSectorBytes;  // one page per sector
    });
    // The rest of a sector after an accepted page was not looked at here.
    if (skipped && !hasAbandonedPage) hasAbandonedPage = BlockHasAbandonedPage(buffer);
    return !stopped;
  }

  // Decodes a candidate's live cells; true when all its records share one
  // column count above kMaxRejectedColumnCount (the page is then classified
  // and maybe listed).
  bool acceptLeafPage(std::span<const std::uint8_t> buffer, std::size_t q, std::uint64_t offset) {
    if (!ReadLeafPageCandidate(buffer, q, pointers_)) return false;
    const std::size_t cells = pointers_.size();
    SortCellPointersAsText(pointers_);
    if (pointers_.size() != cells) return false;
    page_.clear();
    LiveCellsOutcome outcome = LiveCellsOutcome::kStopped;
    if (!guarded(
            offset,
            [&] { outcome = DecodeLiveCellHeaders(pointers_, q, buffer, page_, anyRowid_); }) ||
        outcome != LiveCellsOutcome::kCompleted)
      return false;
    const std::size_t k = page_.singleColumnCount();
    // Most candidates are other apps' pages: their labels rule them out
    // before a value is made.
    const bool mayClassify = k > kMaxRejectedColumnCount && MayClassify(page_);
    if (mayClassify && !guarded(offset, [&] { DecodeLiveValues(buffer, page_); })) return false;
    const auto kind = mayClassify ? classifyPage(page_) : std::nullopt;
    if (notes_) notes_->notePage(buffer, q, offset, pointers_, page_, kind.has_value());
    if (k <= kMaxRejectedColumnCount) return false;
    if (kind) output_->pageFound(describe(*kind, offset, k));
    return true;
  }

  DiscoveredPage describe(PageKind kind, std::uint64_t offset, std::size_t k) const {
    const DecodedRecord& first = page_.records.front().record;
    DiscoveredPage page{offset, first.labelsText(), k, kind, {}};
    if (kind == PageKind::kSms)
      if (const auto column = FirstDateColumn(first)) page.dateColumn = std::to_string(*column);
    return page;
  }

  // Runs a decoding step of the page at `offset` behind the bug firewall.
  template <class Step>
  bool guarded(std::uint64_t offset, Step&& step) {
    return RunPageStep(step, [&] { output_->pageFailed(offset); });
  }

  BlockRun range_;
  bool carve_;
  BlockJudging judging_;
  std::chrono::steady_clock::duration judgingTime_{};
  bool anyRowid_;  // learned mode reads the long rowid forms too
  const std::atomic<bool>& abandoned_;
  std::vector<bool> flagged_;
  std::vector<bool> mayYieldBlocks_;
  std::optional<DiscoveryNotes> notes_;
  DiscoveryOutput* output_ = nullptr;
  // Working lists reused from page to page, so rejected candidates cost no
  // allocation.
  std::vector<std::uint16_t> pointers_;
  PageRecords page_;
};

// What a walk on another thread finds, held until the calling thread has
// passed on everything before it.
class HeldOutput : public DiscoveryOutput {
 public:
  void blockReached(std::uint64_t block) override {
    std::lock_guard lock(mutex_);
    reached_ = block;
  }
  void pageFound(const DiscoveredPage& page) override { hold({{}, false, page}); }
  void pageFailed(std::uint64_t offset) override {
    DiscoveredPage page;
    page.offset = offset;
    hold({{}, true, std::move(page)});
  }

  // The walk has ended.
  void finish() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    changed_.notify_all();
  }

  // Passes on to `output` what is held, in order, with the progress, until
  // the walk has ended. `shown`: the last block whose progress `output` saw.
  void passOn(DiscoveryOutput& output, std::optional<std::uint64_t>& shown) {
    constexpr auto kProgressEvery = std::chrono::milliseconds(100);
    for (;;) {
      std::vector<Held> taken;
      std::optional<std::uint64_t> reached;
      bool finished = false;
      {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, kProgressEvery, [&] { return finished_ || !held_.empty(); });
        taken.swap(held_);
        reached = reached_;
        finished = finished_;
      }
      for (const Held& held : taken) {
        show(output, held.block, shown);
        if (held.failed)
          output.pageFailed(held.page.offset);
        else
          output.pageFound(held.page);
      }
      if (reached) show(output, *reached, shown);
      if (finished) return;
    }
  }

 private:
  struct Held {
    std::optional<std::uint64_t> block;
    bool failed;
    DiscoveredPage page;
  };

  static void show(DiscoveryOutput& output, std::optional<std::uint64_t> block,
                   std::optional<std::uint64_t>& shown) {
    if (!block || (shown && *block <= *shown)) return;
    output.blockReached(*block);
    shown = *block;
  }

  // Called on the walk's thread, the only one that sets reached_.
  void hold(Held held) {
    {
      std::lock_guard lock(mutex_);
      held.block = reached_;
      held_.push_back(std::move(held));
    }
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Held> held_;
  std::optional<std::uint64_t> reached_;
  bool finished_ = false;
};

// A range's walk as one of a pool of threads runs it.
struct PooledWalk {
  explicit PooledWalk(std::unique_ptr<RangeWalk> w) : walk(std::move(w)) {}
  std::unique_ptr<RangeWalk> walk;
  HeldOutput held;
  bool completed = false;  // set before held.finish()
  std::exception_ptr failure;
};

// Walks the ranges on `threads` threads, each taking the next range not yet
// taken, while the calling thread passes on what each range found, range
// after range. True when every range was walked to its end.
bool WalkInPool(std::deque<PooledWalk>& walks, unsigned threads, RawSource& source,
                UnreadableBytes& unreadable, DiscoveryOutput& output,
                std::atomic<bool>& abandoned) {
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < walks.size(); i = next++) {
      PooledWalk& pooled = walks[i];
      try {
        pooled.completed = pooled.walk->run(source, unreadable, pooled.held);
      } catch (...) {
        pooled.failure = std::current_exception();
        abandoned = true;
      }
      pooled.held.finish();
    }
  };
  std::vector<std::thread> pool;
  // Ends the walks early and joins them however this function is left.
  struct Joiner {
    std::atomic<bool>& abandoned;
    std::vector<std::thread>& pool;
    bool done = false;
    ~Joiner() {
      if (!done) abandoned = true;
      for (std::thread& thread : pool) thread.join();
    }
  } joiner{abandoned, pool};
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work);
  std::optional<std::uint64_t> shown;
  bool completed = true;
  for (PooledWalk& pooled : walks) {
    if (!completed) break;
    pooled.held.passOn(output, shown);
    completed = pooled.completed;
  }
  if (!completed) abandoned = true;
  joiner.done = true;
  for (std::thread& thread : pool) thread.join();
  pool.clear();
  for (const PooledWalk& pooled : walks)
    if (pooled.failure) std::rethrow_exception(pooled.failure);
  return completed;
}

}  // namespace

std::vector<BlockRun> DiscoveryRanges(std::uint64_t blockCount, unsigned threads,
                                      std::uint64_t rangeBlocks) {
  std::uint64_t count = 1;
  if (threads > 1)
    count = std::max<std::uint64_t>(threads, (blockCount + rangeBlocks - 1) / rangeBlocks);
  count = std::min(count, std::max<std::uint64_t>(blockCount, 1));
  std::vector<BlockRun> ranges;
  for (std::uint64_t i = 0; i < count; ++i)
    ranges.push_back({blockCount * i / count, blockCount * (i + 1) / count});
  return ranges;
}

unsigned DefaultDiscoveryThreads() { return std::thread::hardware_concurrency() >= 2 ? 2 : 1; }

DiscoveryResult RunDiscoveryPass(RawSource& source, std::uint64_t blockCount,
                                 const DiscoveryOptions& options, DiscoveryOutput& output,
                                 UnreadableBytes& unreadable) {
  std::atomic<bool> abandoned{false};
  const std::vector<BlockRun> ranges =
      DiscoveryRanges(blockCount, options.threads, options.rangeBlocks);
  std::deque<PooledWalk> walks;  // in place: each holds a lock
  for (const BlockRun& range : ranges)
    walks.emplace_back(std::make_unique<RangeWalk>(range, options, abandoned));
  DiscoveryResult result;
  // One range: walked here, its findings passed on as they come.
  result.completed =
      walks.size() == 1 ? walks.front().walk->run(source, unreadable, output)
                        : WalkInPool(walks, options.threads, source, unreadable, output, abandoned);
  if (!result.completed) return result;
  result.abandonedPageBlocks.reserve(blockCount);
  result.mayYieldBlocks.reserve(blockCount);
  for (PooledWalk& pooled : walks) {
    const RangeWalk& walk = *pooled.walk;
    result.abandonedPageBlocks.insert(result.abandonedPageBlocks.end(), walk.flagged().begin(),
                                      walk.flagged().end());
    result.mayYieldBlocks.insert(result.mayYieldBlocks.end(), walk.mayYieldBlocks().begin(),
                                 walk.mayYieldBlocks().end());
    if (options.learned)
      options.learned->addDiscoveryNotes(std::move(*pooled.walk->notes()), source);
  }
  return result;
}

}  // namespace orv
