#include "scan/block_reader.h"

#include <algorithm>

namespace orv {
namespace {

constexpr std::size_t kSlotBytes = 8 * kScanBlockBytes + kReadMarginBytes;

}  // namespace

SequentialBlockReader::SequentialBlockReader(RawSource& source, std::uint64_t blockCount,
                                             UnreadableBytes& unreadable)
    : source_(source),
      blockCount_(blockCount),
      unreadable_(unreadable),
      slots_(std::make_unique_for_overwrite<std::uint8_t[]>(kSlots * kSlotBytes)),
      reader_([this] { readAhead(); }) {
  static_assert(kSlotBytes == kBlocksPerPiece * kScanBlockBytes + kReadMarginBytes);
}

SequentialBlockReader::~SequentialBlockReader() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  reader_.join();
}

void SequentialBlockReader::readAhead() {
  for (std::uint64_t piece = 0; piece < pieceCount(); ++piece) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || piece < piecesReleased_ + kSlots; });
      if (stopping_) return;
    }
    const std::uint64_t firstBlock = piece * kBlocksPerPiece;
    const std::uint64_t blocks = std::min(kBlocksPerPiece, blockCount_ - firstBlock);
    ReadSectors(
        source_, firstBlock * kScanBlockBytes,
        {slots_.get() + piece % kSlots * kSlotBytes, blocks * kScanBlockBytes + kReadMarginBytes},
        unreadable_);
    {
      std::lock_guard lock(mutex_);
      piecesRead_ = piece + 1;
    }
    changed_.notify_all();
  }
}

std::span<const std::uint8_t> SequentialBlockReader::block(std::uint64_t index) {
  const std::uint64_t piece = index / kBlocksPerPiece;
  {
    std::unique_lock lock(mutex_);
    // Pieces before this one are done with: their slots may be refilled.
    if (piece > piecesReleased_) {
      piecesReleased_ = piece;
      changed_.notify_all();
    }
    changed_.wait(lock, [&] { return piece < piecesRead_; });
  }
  const std::size_t at = piece % kSlots * kSlotBytes + (index % kBlocksPerPiece) * kScanBlockBytes;
  return {slots_.get() + at, kReadBufferBytes};
}

void ReadBlock(RawSource& source, std::uint64_t index, std::vector<std::uint8_t>& buffer,
               UnreadableBytes& unreadable) {
  buffer.resize(kReadBufferBytes);
  ReadSectors(source, index * kScanBlockBytes, buffer, unreadable);
}

}  // namespace orv
