#include "scan/block_reader.h"

#include <algorithm>
#include <cstring>

namespace orv {
namespace {

void ReadZeroFilled(RawSource& source, std::uint64_t offset, std::uint8_t* out, std::size_t length) {
  const std::size_t got = source.readAt(offset, out, length);
  std::memset(out + got, 0, length - got);
}

}  // namespace

SequentialBlockReader::SequentialBlockReader(RawSource& source, std::uint64_t blockCount)
    : source_(source), blockCount_(blockCount) {
  for (Chunk& chunk : chunks_)
    chunk.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(kBlocksPerChunk * kScanBlockBytes + 4608);
  current_ = 1;  // empty until the first block is asked for
  if (blockCount_ > 0) startRead(0, 0);
}

SequentialBlockReader::~SequentialBlockReader() { finishRead(); }

bool SequentialBlockReader::Chunk::contains(std::uint64_t index) const {
  return firstBlock != UINT64_MAX && index >= firstBlock && index - firstBlock < kBlocksPerChunk;
}

void SequentialBlockReader::startRead(int slot, std::uint64_t firstBlock) {
  Chunk& chunk = chunks_[slot];
  chunk.firstBlock = firstBlock;
  pendingSlot_ = slot;
  const std::uint64_t blocks = std::min(kBlocksPerChunk, blockCount_ - firstBlock);
  const std::size_t length = blocks * kScanBlockBytes + 4608;
  pending_ = std::async(std::launch::async, [this, &chunk, firstBlock, length] {
    ReadZeroFilled(source_, firstBlock * kScanBlockBytes, chunk.bytes.get(), length);
  });
}

void SequentialBlockReader::finishRead() {
  if (pending_.valid()) pending_.get();
}

std::span<const std::uint8_t> SequentialBlockReader::block(std::uint64_t index) {
  if (!chunks_[current_].contains(index)) {
    finishRead();
    if (chunks_[pendingSlot_].contains(index)) {
      current_ = pendingSlot_;
    } else {  // not the next piece: read the wanted one now
      startRead(current_, index);
      finishRead();
    }
    const std::uint64_t next = chunks_[current_].firstBlock + kBlocksPerChunk;
    if (next < blockCount_) startRead(current_ ^ 1, next);
  }
  const Chunk& chunk = chunks_[current_];
  const std::size_t at = (index - chunk.firstBlock) * kScanBlockBytes;
  return {chunk.bytes.get() + at, kReadBufferBytes};
}

void ReadBlock(RawSource& source, std::uint64_t index, std::vector<std::uint8_t>& buffer) {
  buffer.resize(kReadBufferBytes);
  ReadZeroFilled(source, index * kScanBlockBytes, buffer.data(), kReadBufferBytes);
}

}  // namespace orv
