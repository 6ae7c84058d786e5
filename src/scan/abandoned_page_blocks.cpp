#include "scan/abandoned_page_blocks.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform/stop_flag.h"
#include "scan/block_reader.h"
#include "scan/candidate_search.h"
#include "scan/page_header.h"

namespace orv {
namespace {

// Blocks of a chunk (8 MiB): long enough for large sequential reads, short
// enough that the workers stay near each other on the medium.
constexpr std::uint64_t kChunkBlocks = 128;
// Prepared blocks a worker hands over at once (waking the other thread costs
// more than preparing a block of a sparse image), and the most it holds ahead.
constexpr std::size_t kBatchBlocks = 8;
constexpr std::size_t kBlocksAhead = 2 * kBatchBlocks;

// The runs of flagged blocks in [first, end).
std::vector<BlockRun> FlaggedRuns(const std::vector<bool>& flagged, std::uint64_t first,
                                  std::uint64_t end) {
  std::vector<BlockRun> runs;
  for (std::uint64_t block = first; block < end; ++block) {
    if (!flagged[block]) continue;
    if (runs.empty() || runs.back().end != block) runs.push_back({block, block});
    runs.back().end = block + 1;
  }
  return runs;
}

}  // namespace

struct PreparedBlockStream::Worker {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::unique_ptr<PreparedBlock>> ready;
  std::deque<std::unique_ptr<PreparedBlock>> taken;  // the caller's only
  bool finished = false;                             // no more blocks will come
  bool leaving = false;                              // the stream is going away
  std::exception_ptr failure;
  std::thread thread;

  // Hands `batch` to the caller once fewer than kBlocksAhead wait; false when
  // the stream is going away.
  bool hand(std::vector<std::unique_ptr<PreparedBlock>>& batch) {
    if (batch.empty()) return true;
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return ready.size() < kBlocksAhead || leaving; });
    if (leaving) return false;
    for (auto& block : batch) ready.push_back(std::move(block));
    batch.clear();
    lock.unlock();
    changed.notify_all();
    return true;
  }

  void finish(std::exception_ptr thrown) {
    {
      std::lock_guard lock(mutex);
      finished = true;
      failure = std::move(thrown);
    }
    changed.notify_all();
  }
};

namespace {

// Finds the candidate pages of `buffer` (block `block`) and tests every
// anchor position they reach.
std::unique_ptr<PreparedBlock> Prepare(std::span<const std::uint8_t> buffer, std::uint64_t block,
                                       const ColumnParameters& params,
                                       const PreparedBlockStream::PageBytesAt& pageBytesAt) {
  auto prepared = std::make_unique<PreparedBlock>();
  prepared->block = block;
  prepared->carving = std::make_unique<AbandonedPageCarving>(buffer, params);
  ForEachPageCandidate(buffer, kScanBlockBytes, [&](std::size_t q) -> std::size_t {
    if (!IsAbandonedPageCandidate(buffer, q)) return q + 1;
    PreparedPage page{q, buffer[q], q + PageHeaderLength(buffer[q]),
                      pageBytesAt(block * kScanBlockBytes + q), nullptr};
    try {
      prepared->carving->preparePage(page.firstOffset, q, page.pageBytes);
    } catch (const std::exception&) {
      page.failure = std::current_exception();  // passed on with the page, in its order
    }
    prepared->pages.push_back(page);
    return q + 1;
  });
  return prepared;
}

// Worker `t` of `threads`: prepares the flagged blocks of chunks t,
// t + threads, ..., handing them over in batches that never mix two chunks.
// Runs of flagged blocks go through one read-ahead reader; a block flagged
// alone is read here, as handing it over from the reader's thread costs more
// than the read.
void PrepareChunks(PreparedBlockStream::Worker& worker, RawSource& source,
                   const std::vector<bool>& flagged, const ColumnParameters& params,
                   const PreparedBlockStream::PageBytesAt& pageBytesAt, unsigned t,
                   unsigned threads, UnreadableBytes& unreadable) {
  const std::uint64_t blockCount = flagged.size();
  std::vector<BlockRun> runs;
  for (std::uint64_t first = std::uint64_t{t} * kChunkBlocks; first < blockCount;
       first += std::uint64_t{threads} * kChunkBlocks) {
    for (const BlockRun& run :
         FlaggedRuns(flagged, first, std::min(first + kChunkBlocks, blockCount)))
      if (run.end - run.first > 1) runs.push_back(run);
  }
  SequentialBlockReader reader(source, std::move(runs), unreadable);
  std::vector<std::uint8_t> alone;
  std::vector<std::unique_ptr<PreparedBlock>> batch;
  for (std::uint64_t first = std::uint64_t{t} * kChunkBlocks; first < blockCount;
       first += std::uint64_t{threads} * kChunkBlocks) {
    const std::uint64_t end = std::min(first + kChunkBlocks, blockCount);
    for (std::uint64_t block = first; block < end; ++block) {
      if (!flagged[block]) continue;
      if (StopRequested()) return worker.finish(nullptr);
      const bool newChunk =
          !batch.empty() && batch.back()->block / kChunkBlocks != block / kChunkBlocks;
      if ((batch.size() == kBatchBlocks || newChunk) && !worker.hand(batch))
        return worker.finish(nullptr);
      const bool inRun =
          (block > first && flagged[block - 1]) || (block + 1 < end && flagged[block + 1]);
      if (!inRun) ReadBlock(source, block, alone, unreadable);
      batch.push_back(Prepare(inRun ? reader.block(block) : std::span<const std::uint8_t>(alone),
                              block, params, pageBytesAt));
    }
  }
  if (!worker.hand(batch)) return worker.finish(nullptr);
  worker.finish(nullptr);
}

}  // namespace

PreparedBlockStream::PreparedBlockStream(RawSource& source, const std::vector<bool>& flagged,
                                         const ColumnParameters& params, PageBytesAt pageBytesAt,
                                         unsigned threads, UnreadableBytes& unreadable)
    : flagged_(flagged) {
  threads = std::max(threads, 1u);
  for (unsigned t = 0; t < threads; ++t) workers_.push_back(std::make_unique<Worker>());
  for (unsigned t = 0; t < threads; ++t) {
    Worker& worker = *workers_[t];
    worker.thread =
        std::thread([&worker, &source, &flagged, &params, pageBytesAt, threads, t, &unreadable] {
          try {
            PrepareChunks(worker, source, flagged, params, pageBytesAt, t, threads, unreadable);
          } catch (...) {
            worker.finish(std::current_exception());
          }
        });
  }
}

PreparedBlockStream::~PreparedBlockStream() {
  for (const auto& worker : workers_) {
    {
      std::lock_guard lock(worker->mutex);
      worker->leaving = true;
    }
    worker->changed.notify_all();
  }
  for (const auto& worker : workers_) worker->thread.join();
}

std::unique_ptr<PreparedBlock> PreparedBlockStream::next() {
  while (nextBlock_ < flagged_.size() && !flagged_[nextBlock_]) ++nextBlock_;
  if (nextBlock_ == flagged_.size()) return nullptr;
  Worker& worker = *workers_[(nextBlock_ / kChunkBlocks) % workers_.size()];
  if (worker.taken.empty()) {
    std::unique_lock lock(worker.mutex);
    worker.changed.wait(lock, [&] { return !worker.ready.empty() || worker.finished; });
    if (worker.ready.empty()) {
      if (worker.failure) std::rethrow_exception(worker.failure);
      return nullptr;
    }
    worker.taken.swap(worker.ready);
    lock.unlock();
    worker.changed.notify_all();
  }
  std::unique_ptr<PreparedBlock> block = std::move(worker.taken.front());
  worker.taken.pop_front();
  ++nextBlock_;
  return block;
}

}  // namespace orv
