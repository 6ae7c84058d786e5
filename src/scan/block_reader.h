#pragma once
// Reads a source block by block for the scan's byte-by-byte passes. Each
// block is the 64 KiB at a 128-sector boundary plus the margin after it,
// zero past the end of the source, so a page starting anywhere in the block
// lies whole in its buffer. A reader thread runs ahead, filling a small ring
// of pieces that stay in the processor's caches while the caller tests them.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "platform/sector_read.h"
#include "scan/record_decoder.h"

namespace orv {

// Blocks first .. end - 1 of a source.
struct BlockRun {
  std::uint64_t first = 0;
  std::uint64_t end = 0;
};

class SequentialBlockReader {
 public:
  // The blocks of `runs` (ascending, not overlapping), in order; bytes that
  // cannot be read are zero and added to `unreadable` (from the reader's own
  // thread). Each run is read in large pieces, whatever the gaps between runs.
  SequentialBlockReader(RawSource& source, std::vector<BlockRun> runs, UnreadableBytes& unreadable);
  // Blocks 0 .. blockCount - 1.
  SequentialBlockReader(RawSource& source, std::uint64_t blockCount, UnreadableBytes& unreadable)
      : SequentialBlockReader(source, {{0, blockCount}}, unreadable) {}
  ~SequentialBlockReader();
  SequentialBlockReader(const SequentialBlockReader&) = delete;
  SequentialBlockReader& operator=(const SequentialBlockReader&) = delete;

  // The buffer of block `index` (kReadBufferBytes bytes), a block of one of
  // the runs. Blocks must be asked for in ascending order, each once or more;
  // the span stays valid until a later block is asked for.
  std::span<const std::uint8_t> block(std::uint64_t index);

  // How long block() has waited for the source so far: near zero when the
  // caller, not the source, sets the pace.
  std::chrono::steady_clock::duration waited() const { return waited_; }

 private:
  static constexpr std::uint64_t kBlocksPerPiece = 8;  // 512 KiB per read
  static constexpr std::uint64_t kSlots = 4;

  // The pieces of the runs, in order: up to kBlocksPerPiece blocks of one run.
  class PieceCursor {
   public:
    explicit PieceCursor(const std::vector<BlockRun>& runs);
    bool done() const { return run_ == runs_->size(); }
    BlockRun piece() const;
    void next();

   private:
    const std::vector<BlockRun>* runs_;
    std::size_t run_ = 0;
    std::uint64_t first_ = 0;  // the piece's first block
  };

  void readAhead();

  RawSource& source_;
  std::vector<BlockRun> runs_;
  UnreadableBytes& unreadable_;
  std::unique_ptr<std::uint8_t[]> slots_;  // kSlots pieces, not zeroed: every read fills them
  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t piecesRead_ = 0;      // pieces the reader has filled
  std::uint64_t piecesReleased_ = 0;  // pieces the caller is done with
  PieceCursor callerPiece_;           // the piece the caller last asked in
  std::uint64_t callerPieceNumber_ = 0;
  std::chrono::steady_clock::duration waited_{};  // the caller's only
  bool stopping_ = false;
  std::thread reader_;
};

// Reads the single block `index` of `source` into `buffer` (resized to
// kReadBufferBytes, zero past the end of the source and where it cannot be
// read; such bytes are added to `unreadable`).
void ReadBlock(RawSource& source, std::uint64_t index, std::vector<std::uint8_t>& buffer,
               UnreadableBytes& unreadable);

}  // namespace orv
