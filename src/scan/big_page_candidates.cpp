#include "scan/big_page_candidates.h"

#include <algorithm>
#include <bit>

#include "scan/varint.h"

namespace orv {
namespace {

constexpr std::size_t kMostFragmentedBytes = 60;  // SQLite never lets more build up
constexpr std::size_t kFragmentedBytesField = 7;
constexpr std::uint32_t kSmallestBigPage = 2 * kPageBytes;

}  // namespace

std::optional<std::uint32_t> BigLeafPageBytes(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kLeafHeaderBytes || bytes[0] != kTableLeafPage ||
      bytes[kFragmentedBytesField] > kMostFragmentedBytes)
    return std::nullopt;
  const std::size_t firstFreeblock = ReadBigEndian16(&bytes[1]);
  const std::size_t cells = ReadBigEndian16(&bytes[3]);
  const std::size_t contentStart = ReadBigEndian16(&bytes[5]);  // 0 (65536) only without cells
  const std::size_t arrayEnd = kLeafHeaderBytes + cells * kCellPointerBytes;
  if (cells == 0 || contentStart < arrayEnd) return std::nullopt;
  if (firstFreeblock != 0 && firstFreeblock < contentStart) return std::nullopt;
  std::size_t farthest = std::max(contentStart, firstFreeblock);
  const std::size_t present =
      std::min(cells, (bytes.size() - kLeafHeaderBytes) / kCellPointerBytes);
  for (std::size_t j = 0; j < present; ++j) {
    const std::size_t pointer = ReadBigEndian16(&bytes[kLeafHeaderBytes + j * kCellPointerBytes]);
    if (pointer < contentStart) return std::nullopt;
    farthest = std::max(farthest, pointer);
  }
  if (farthest <= kLastPageOffset) return std::nullopt;  // a page the discovery tests see
  return std::max(kSmallestBigPage, std::bit_ceil(static_cast<std::uint32_t>(farthest) + 1));
}

void BigPageCandidates::noteLeafSector(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  if (const auto pageBytes = BigLeafPageBytes(bytes)) noted_.push_back({offset, *pageBytes});
}

void BigPageCandidates::noteBlock(std::span<const std::uint8_t> buffer, std::uint64_t blockOffset) {
  for (std::size_t s = 0; s < kScanBlockBytes && s < buffer.size(); s += kSectorBytes)
    noteSector(buffer.subspan(s), blockOffset + s);
}

void BigPageCandidates::merge(BigPageCandidates&& later) {
  noted_.insert(noted_.end(), later.noted_.begin(), later.noted_.end());
  later.noted_.clear();
}

std::vector<BigPage> BigPageCandidates::pages(const SchemaCatalog& catalog,
                                              std::span<const WalLog> wals) const {
  std::vector<BigPage> out;
  for (const Noted& noted : noted_) {
    const DatabaseInfo& db = catalog.databases()[catalog.databaseAt(noted.offset)];
    const std::uint32_t declared = db.hasHeader ? db.pageBytes : 0;
    out.push_back({noted.offset, std::max(declared, noted.pageBytes), false});
  }
  for (const DatabaseInfo& db : catalog.databases())
    if (db.hasHeader && db.pageBytes > kPageBytes) out.push_back({db.offset, db.pageBytes, true});
  for (const WalLog& wal : wals) {
    if (wal.pageBytes <= kPageBytes) continue;
    for (const WalFrame& frame : wal.frames)
      out.push_back({frame.pageOffset, wal.pageBytes, frame.pageNumber == 1});
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const BigPage& a, const BigPage& b) { return a.offset < b.offset; });
  out.erase(std::unique(out.begin(), out.end(),
                        [](const BigPage& a, const BigPage& b) { return a.offset == b.offset; }),
            out.end());
  return out;
}

}  // namespace orv
