#include "scan/wal_frames.h"

#include <map>

#include "platform/sector_read.h"
#include "scan/schema_record.h"

namespace orv {
namespace {

constexpr std::uint32_t kWalMagic = 0x377f0682;  // the low bit chooses the checksum byte order
constexpr std::uint32_t kWalVersion = 3007000;

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

}  // namespace

std::optional<WalLog> ReadWalHeader(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  if (bytes.size() < kWalHeaderBytes) return std::nullopt;
  if ((ReadBigEndian32(&bytes[0]) | 1) != (kWalMagic | 1) ||
      ReadBigEndian32(&bytes[4]) != kWalVersion)
    return std::nullopt;
  const std::uint32_t pageBytes = ReadBigEndian32(&bytes[8]);
  if (pageBytes < kMinPageBytes || pageBytes > kMaxPageBytes || (pageBytes & (pageBytes - 1)) != 0)
    return std::nullopt;
  WalLog log;
  log.offset = offset;
  log.pageBytes = pageBytes;
  log.salt1 = ReadBigEndian32(&bytes[16]);
  log.salt2 = ReadBigEndian32(&bytes[20]);
  return log;
}

void NoteWalFrames(WalLog& log, std::span<const std::uint8_t> buffer, std::uint64_t blockOffset,
                   std::uint64_t blockEnd) {
  while (!log.ended) {
    const std::uint64_t at = log.nextFrame();
    if (at < blockOffset || at >= blockEnd) return;
    const std::uint64_t inBuffer = at - blockOffset;
    if (inBuffer + kWalFrameHeaderBytes > buffer.size()) return;
    const std::uint8_t* header = &buffer[inBuffer];
    const std::uint32_t pageNumber = ReadBigEndian32(header);
    if (pageNumber == 0 || ReadBigEndian32(header + 8) != log.salt1 ||
        ReadBigEndian32(header + 12) != log.salt2) {
      log.ended = true;
      return;
    }
    log.frames.push_back({pageNumber, ReadBigEndian32(header + 4) != 0, at + kWalFrameHeaderBytes});
  }
}

void ReadWalFrames(WalLog& log, RawSource& source, std::uint64_t from, std::uint64_t end) {
  std::uint8_t sectors[2 * kSectorBytes];  // a frame header may cross a sector's end
  UnreadableBytes counted;                 // the pass that read these blocks counted their losses
  while (!log.ended) {
    const std::uint64_t at = log.nextFrame();
    if (at < from || at >= end) return;
    const std::uint64_t start = at / kSectorBytes * kSectorBytes;
    ReadSectors(source, start, sectors, counted);
    NoteWalFrames(log, sectors, start, at + 1);
  }
}

std::set<std::uint64_t> SupersededPages(const WalLog& log,
                                        std::optional<std::uint64_t> databaseOffset) {
  std::size_t committed = 0;  // frames up to the last commit
  for (std::size_t i = 0; i < log.frames.size(); ++i)
    if (log.frames[i].commit) committed = i + 1;
  std::map<std::uint32_t, std::uint64_t> newest;  // page number -> its newest committed frame
  for (std::size_t i = 0; i < committed; ++i)
    newest[log.frames[i].pageNumber] = log.frames[i].pageOffset;
  std::set<std::uint64_t> older;
  for (std::size_t i = 0; i < log.frames.size(); ++i) {
    const WalFrame& frame = log.frames[i];
    const auto current = newest.find(frame.pageNumber);
    if (i >= committed || current == newest.end() || current->second != frame.pageOffset)
      older.insert(frame.pageOffset);
  }
  if (databaseOffset)
    for (const auto& [pageNumber, frame] : newest)
      older.insert(*databaseOffset + std::uint64_t{pageNumber - 1} * log.pageBytes);
  return older;
}

}  // namespace orv
