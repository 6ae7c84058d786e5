#include "scan/discovery_pass.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/stop_flag.h"
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

// The walk over one range of blocks.
class RangeWalk {
 public:
  RangeWalk(BlockRun range, const DiscoveryOptions& options, const std::atomic<bool>& abandoned)
      : range_(range),
        carve_(options.carve),
        anyRowid_(options.learned != nullptr),
        abandoned_(abandoned),
        flagged_(range.end - range.first, false) {
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
      if (carve_ && hasAbandonedPage) flagged_[block - range_.first] = true;
    }
    return true;
  }

  const BlockRun& range() const { return range_; }
  const std::vector<bool>& flagged() const { return flagged_; }
  std::optional<DiscoveryNotes>& notes() { return notes_; }

 private:
  bool stopRequested() const { return StopRequested() || abandoned_.load(); }

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
  bool anyRowid_;  // learned mode reads the long rowid forms too
  const std::atomic<bool>& abandoned_;
  std::vector<bool> flagged_;
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
  void passOn(DiscoveryOutput& output, std::uint64_t& shown) {
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
                   std::uint64_t& shown) {
    if (!block || *block <= shown) return;
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

// Reports the blocks the calling thread's walk reaches to `output`, keeping
// the last for the walks after it.
class ShownOutput : public DiscoveryOutput {
 public:
  explicit ShownOutput(DiscoveryOutput& output) : output_(output) {}
  void blockReached(std::uint64_t block) override {
    output_.blockReached(block);
    shown = block;
  }
  void pageFound(const DiscoveredPage& page) override { output_.pageFound(page); }
  void pageFailed(std::uint64_t offset) override { output_.pageFailed(offset); }

  std::uint64_t shown = 0;

 private:
  DiscoveryOutput& output_;
};

// A walk on a thread of its own; joined when it goes.
struct SideWalk {
  HeldOutput held;
  bool completed = false;
  std::exception_ptr failure;
  std::thread thread;

  ~SideWalk() {
    if (thread.joinable()) thread.join();
  }
};

}  // namespace

std::vector<BlockRun> DiscoveryRanges(std::uint64_t blockCount, unsigned threads) {
  const std::uint64_t count =
      std::clamp<std::uint64_t>(threads, 1, std::max<std::uint64_t>(blockCount, 1));
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
  std::vector<std::unique_ptr<RangeWalk>> walks;
  for (const BlockRun& range : DiscoveryRanges(blockCount, options.threads))
    walks.push_back(std::make_unique<RangeWalk>(range, options, abandoned));
  DiscoveryResult result;
  {
    // Declared after `abandoned` and the walks, so that they are joined first.
    std::vector<std::unique_ptr<SideWalk>> sides;
    struct Abandon {
      std::atomic<bool>& flag;
      ~Abandon() { flag = true; }  // ends the side walks early when this thread leaves early
    };
    for (std::size_t i = 1; i < walks.size(); ++i) {
      auto side = std::make_unique<SideWalk>();
      SideWalk* s = side.get();
      RangeWalk* walk = walks[i].get();
      s->thread = std::thread([s, walk, &source, &unreadable] {
        try {
          s->completed = walk->run(source, unreadable, s->held);
        } catch (...) {
          s->failure = std::current_exception();
        }
        s->held.finish();
      });
      sides.push_back(std::move(side));
    }
    const Abandon abandonOnExit{abandoned};
    ShownOutput shown(output);
    result.completed = walks.front()->run(source, unreadable, shown);
    if (!result.completed) abandoned = true;
    for (auto& side : sides) {
      if (result.completed) side->held.passOn(output, shown.shown);
      side->thread.join();
      if (side->failure) std::rethrow_exception(side->failure);
      result.completed = result.completed && side->completed;
    }
  }
  if (!result.completed) return result;
  result.abandonedPageBlocks.reserve(blockCount);
  for (const auto& walk : walks) {
    result.abandonedPageBlocks.insert(result.abandonedPageBlocks.end(), walk->flagged().begin(),
                                      walk->flagged().end());
    if (options.learned) options.learned->addDiscoveryNotes(std::move(*walk->notes()), source);
  }
  return result;
}

}  // namespace orv
