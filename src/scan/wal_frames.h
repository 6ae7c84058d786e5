#pragma once
// Write-ahead logs (the "-wal" files beside databases) found in an image.
// A log starts with a 32-byte header (magic 0x377f0682 or 0x377f0683,
// format version, page size at offset 8, checkpoint number, two salts,
// checksum); frames follow, each a 24-byte header (page number, the
// database's size in pages on a commit frame and 0 otherwise, the two salts)
// and one page. Frames whose salts differ from the header's are left from an
// earlier round of the log and end it.
//
// A page of the database then exists in several versions: its place in the
// database file and each frame that holds it. The newest frame up to the last
// commit holds the page as it is; every other version is older.

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "platform/raw_source.h"

namespace orv {

inline constexpr std::size_t kWalHeaderBytes = 32;
inline constexpr std::size_t kWalFrameHeaderBytes = 24;

struct WalFrame {
  std::uint32_t pageNumber = 0;
  bool commit = false;
  std::uint64_t pageOffset = 0;  // of the frame's page in the image
};

struct WalLog {
  std::uint64_t offset = 0;  // of the header in the image
  std::uint32_t pageBytes = 0;
  std::uint32_t salt1 = 0, salt2 = 0;
  std::vector<WalFrame> frames;  // in log order, while the salts match
  bool ended = false;            // a frame with other salts was met

  // The offset of the next frame's header.
  std::uint64_t nextFrame() const {
    return offset + kWalHeaderBytes + frames.size() * (kWalFrameHeaderBytes + pageBytes);
  }
};

// The log whose header `bytes` start with, at image `offset`; empty when they
// hold none or its page size is not a power of two from 512 to 65536.
std::optional<WalLog> ReadWalHeader(std::span<const std::uint8_t> bytes, std::uint64_t offset);

// Reads the frame headers of `log` that start in [blockOffset, blockEnd) of
// the image, `buffer` holding the image from `blockOffset` on. Frame headers
// must be met in order, block after block.
void NoteWalFrames(WalLog& log, std::span<const std::uint8_t> buffer, std::uint64_t blockOffset,
                   std::uint64_t blockEnd);

// Reads the frame headers of `log` that start in [from, end) of `source`
// straight from it, as NoteWalFrames would from blocks read there (a byte
// that cannot be read is zero and ends the log; it is not counted here).
void ReadWalFrames(WalLog& log, RawSource& source, std::uint64_t from, std::uint64_t end);

// The image offsets of the pages `log` and the database file (its header at
// `databaseOffset`, with pages of the log's size) hold in an older version:
// the database file's place of every page the log committed, each committed
// frame of a page a later committed frame holds too, and every frame after
// the last commit.
std::set<std::uint64_t> SupersededPages(const WalLog& log,
                                        std::optional<std::uint64_t> databaseOffset);

}  // namespace orv
