#pragma once
// The deleted-page pass's search of flagged blocks on worker threads. The
// costly part of the abandoned-page carving (finding the candidate pages of a
// block and testing every anchor position they reach) depends on the block's
// bytes and the column parameters only, so workers do it ahead, block after
// block, while the calling thread writes the rows of each block in block
// order, exactly as one walk would.
//
// The blocks are cut into chunks of 8 MiB; worker t takes chunks t,
// t + threads, ... and reads the flagged blocks of each through a read-ahead
// reader of its own.
// Each worker holds only a few prepared blocks ahead of the caller, so the
// memory stays small whatever the image holds.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "platform/raw_source.h"
#include "platform/sector_read.h"
#include "scan/column_parameters.h"
#include "scan/deleted_carving.h"

namespace orv {

// A candidate page of a prepared block.
struct PreparedPage {
  std::size_t pageOffset = 0;   // in the block's buffer
  std::uint8_t pageType = 0;    // 0x05, 0x02 or 0x0A
  std::size_t firstOffset = 0;  // page offset plus header length
  std::size_t pageBytes = 0;    // where the page ends (a smaller database page ends early)
  std::exception_ptr failure;   // what its preparation threw: a bug of ours
};

// A flagged block whose candidate pages have all been prepared: carvePage of
// each page writes its rows without reading the block's bytes again.
struct PreparedBlock {
  std::uint64_t block = 0;
  std::unique_ptr<AbandonedPageCarving> carving;
  std::vector<PreparedPage> pages;  // in ascending page offset
};

class PreparedBlockStream {
 public:
  // The page size at an image offset (at most kPageBytes); called from the
  // worker threads, so it must be safe to call from several at once.
  using PageBytesAt = std::function<std::size_t(std::uint64_t)>;

  // Starts `threads` workers (at least one) over the blocks flagged in
  // `flagged` (which must outlive the stream) of `source` (safe to read from several threads);
  // unreadable bytes read as zero and are added to `unreadable`. `params` and `pageBytesAt` must
  // outlive the stream.
  PreparedBlockStream(RawSource& source, const std::vector<bool>& flagged,
                      const ColumnParameters& params, PageBytesAt pageBytesAt, unsigned threads,
                      UnreadableBytes& unreadable);
  // Stops the workers (the stop flag stops them too) and joins them.
  ~PreparedBlockStream();
  PreparedBlockStream(const PreparedBlockStream&) = delete;
  PreparedBlockStream& operator=(const PreparedBlockStream&) = delete;

  // The next flagged block, in ascending order; null after the last one, or
  // when the stop flag cut the workers short. Rethrows what a worker threw
  // outside a page's preparation.
  std::unique_ptr<PreparedBlock> next();

  // The state a worker shares with the caller (defined with the workers).
  struct Worker;

  // True once next() has handed out the last flagged block and said so.
  bool reachedEnd() const { return nextBlock_ == flagged_.size(); }

 private:
  const std::vector<bool>& flagged_;
  std::uint64_t nextBlock_ = 0;  // where the caller's search for the next flagged block starts
  std::vector<std::unique_ptr<Worker>> workers_;
};

}  // namespace orv
