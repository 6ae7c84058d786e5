#pragma once
// Reads a source block by block for the scan's byte-by-byte passes. Each
// block is the 64 KiB at a 128-sector boundary plus the 4608 bytes after it,
// zero past the end of the source, so a page starting anywhere in the block
// lies whole in its buffer. Reads run ahead in large pieces on a second
// thread while the caller tests the current block.

#include <cstdint>
#include <future>
#include <memory>
#include <span>
#include <vector>

#include "platform/raw_source.h"
#include "scan/record_decoder.h"

namespace orv {

class SequentialBlockReader {
 public:
  // Blocks 0 .. blockCount - 1 of `source`, in order.
  SequentialBlockReader(RawSource& source, std::uint64_t blockCount);
  ~SequentialBlockReader();
  SequentialBlockReader(const SequentialBlockReader&) = delete;
  SequentialBlockReader& operator=(const SequentialBlockReader&) = delete;

  // The buffer of block `index` (kReadBufferBytes bytes). Blocks must be asked
  // for in ascending order; the span stays valid until the next call.
  std::span<const std::uint8_t> block(std::uint64_t index);

 private:
  static constexpr std::uint64_t kBlocksPerChunk = 64;  // 4 MiB per read

  struct Chunk {
    std::uint64_t firstBlock = UINT64_MAX;  // none yet
    std::unique_ptr<std::uint8_t[]> bytes;  // not zeroed: every read fills it
    bool contains(std::uint64_t index) const;
  };
  // Starts reading the piece that begins with `firstBlock` into `slot`; at
  // most one read is under way at a time.
  void startRead(int slot, std::uint64_t firstBlock);
  void finishRead();

  RawSource& source_;
  std::uint64_t blockCount_;
  Chunk chunks_[2];
  int current_;
  int pendingSlot_ = 0;
  std::future<void> pending_;
};

// Reads the single block `index` of `source` into `buffer` (resized to
// kReadBufferBytes and zeroed first).
void ReadBlock(RawSource& source, std::uint64_t index, std::vector<std::uint8_t>& buffer);

}  // namespace orv
