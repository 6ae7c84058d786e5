#pragma once
// Pass 1 of the scan, discovery: every byte offset of the source is tested
// for a table leaf page; a page whose live records share one column count
// above kMaxRejectedColumnCount is classified, and listed when it is of the
// call log, the messages or the contacts data. The blocks that hold a page
// for the deleted-page pass are flagged.
//
// On one thread the source is walked block after block. On several, it is
// split into ranges of whole blocks that a pool of threads walks, each
// thread taking the next range not yet taken, while the calling thread
// passes on what each range found, range after range. Each block is tested
// on its own (its buffer reaches a page past its end, so a page starting in
// a range's last block is seen whole), so the split changes nothing: the
// output sees what one walk over the whole source gives, in its order.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/raw_source.h"
#include "platform/sector_read.h"
#include "scan/block_judging.h"
#include "scan/block_reader.h"
#include "scan/learned_recognition.h"
#include "scan/page_classifier.h"

namespace orv {

struct DiscoveredPage {
  std::uint64_t offset = 0;
  std::string labels;  // the first record's labels, joined as DB-Result shows them
  std::size_t columnCount = 0;
  PageKind kind = PageKind::kCall;
  std::string dateColumn;  // message pages: the first record's first date column, if any
};

// Where a discovery pass's findings go, in the order one walk finds them.
// Called on the thread that runs the pass only.
class DiscoveryOutput {
 public:
  virtual ~DiscoveryOutput() = default;
  // The walk is at block `block` (progress; a later block may be reported
  // without the ones before it).
  virtual void blockReached(std::uint64_t block) = 0;
  virtual void pageFound(const DiscoveredPage& page) = 0;
  // The live-cell decoding of the page at `offset` threw: a bug of ours,
  // passed over.
  virtual void pageFailed(std::uint64_t offset) = 0;
};

struct DiscoveryOptions {
  bool carve = true;     // decode and classify leaf pages (the kinds that produce rows)
  unsigned threads = 1;  // ranges walked side by side
  LearnedRecognition* learned = nullptr;  // takes the pass's notes, in learned mode
  // The most blocks of a range when several threads walk: small enough that
  // a thread that walks a range full of pages is not left alone at the end,
  // and that the threads read near each other on the medium (32 MiB).
  std::uint64_t rangeBlocks = 512;
  BlockJudging judging = BlockJudging::kWhileWaiting;
};

struct DiscoveryResult {
  bool completed = false;  // false: the stop flag was seen
  // One bit per block (4 MB for 2 TB): the block holds a page for the
  // deleted-page pass. Empty when stopped.
  std::vector<bool> abandonedPageBlocks;
  // The blocks of those not judged, or whose pages may yield records with
  // some column parameters of the classifier's windows
  // (MayYieldAbandonedRecords).
  std::vector<bool> mayYieldBlocks;
};

// The ranges of blocks 0 .. blockCount - 1 the pass walks with `threads`
// threads, in order, of nearly equal length, none empty: one range for one
// thread; else at least one per thread, of at most `rangeBlocks` blocks.
std::vector<BlockRun> DiscoveryRanges(std::uint64_t blockCount, unsigned threads,
                                      std::uint64_t rangeBlocks);

// Two threads where the machine has two processors, else one.
unsigned DefaultDiscoveryThreads();

// Runs the pass over blocks 0 .. blockCount - 1 of `source` (safe to read
// from several threads): on the calling thread with one thread, else on
// `options.threads` threads of its own while the calling thread passes on
// their findings. Bytes that cannot be read are zero and added
// to `unreadable`. An exception other than a page's decoding bug is thrown
// on the calling thread once every walk has ended.
DiscoveryResult RunDiscoveryPass(RawSource& source, std::uint64_t blockCount,
                                 const DiscoveryOptions& options, DiscoveryOutput& output,
                                 UnreadableBytes& unreadable);

}  // namespace orv
