#include "scan/block_reader.h"

#include <algorithm>

namespace orv {
namespace {

constexpr std::size_t kSlotBytes = 8 * kScanBlockBytes + kReadMarginBytes;

}  // namespace

SequentialBlockReader::PieceCursor::PieceCursor(const std::vector<BlockRun>& runs) : runs_(&runs) {
  while (!done() && (*runs_)[run_].first >= (*runs_)[run_].end) ++run_;
  if (!done()) first_ = (*runs_)[run_].first;
}

BlockRun SequentialBlockReader::PieceCursor::piece() const {
  return {first_, std::min(first_ + kBlocksPerPiece, (*runs_)[run_].end)};
}

void SequentialBlockReader::PieceCursor::next() {
  first_ = piece().end;
  if (first_ < (*runs_)[run_].end) return;
  do ++run_;
  while (!done() && (*runs_)[run_].first >= (*runs_)[run_].end);
  if (!done()) first_ = (*runs_)[run_].first;
}

SequentialBlockReader::SequentialBlockReader(RawSource& source, std::vector<BlockRun> runs,
                                             UnreadableBytes& unreadable)
    : source_(source),
      runs_(std::move(runs)),
      unreadable_(unreadable),
      slots_(std::make_unique_for_overwrite<std::uint8_t[]>(kSlots * kSlotBytes)),
      callerPiece_(runs_),
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
  std::uint64_t number = 0;
  for (PieceCursor cursor(runs_); !cursor.done(); cursor.next(), ++number) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stopping_ || number < piecesReleased_ + kSlots; });
      if (stopping_) return;
    }
    const BlockRun piece = cursor.piece();
    ReadSectors(source_, piece.first * kScanBlockBytes,
                {slots_.get() + number % kSlots * kSlotBytes,
                 (piece.end - piece.first) * kScanBlockBytes + kReadMarginBytes},
                unreadable_);
    {
      std::lock_guard lock(mutex_);
      piecesRead_ = number + 1;
    }
    changed_.notify_all();
  }
}

std::span<const std::uint8_t> SequentialBlockReader::block(std::uint64_t index) {
  while (!callerPiece_.done() && index >= callerPiece_.piece().end) {
    callerPiece_.next();
    ++callerPieceNumber_;
  }
  {
    std::unique_lock lock(mutex_);
    // Pieces before this one are done with: their slots may be refilled.
    if (callerPieceNumber_ > piecesReleased_) {
      piecesReleased_ = callerPieceNumber_;
      changed_.notify_all();
    }
    const auto ready = [&] { return callerPieceNumber_ < piecesRead_; };
    if (!ready()) {
      const auto start = std::chrono::steady_clock::now();
      changed_.wait(lock, ready);
      waited_ += std::chrono::steady_clock::now() - start;
    }
  }
  const std::size_t at = callerPieceNumber_ % kSlots * kSlotBytes +
                         (index - callerPiece_.piece().first) * kScanBlockBytes;
  return {slots_.get() + at, kReadBufferBytes};
}

void ReadBlock(RawSource& source, std::uint64_t index, std::vector<std::uint8_t>& buffer,
               UnreadableBytes& unreadable) {
  buffer.resize(kReadBufferBytes);
  ReadSectors(source, index * kScanBlockBytes, buffer, unreadable);
}

}  // namespace orv
