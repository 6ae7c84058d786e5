#pragma once
// Reading a raw source whole sector by whole sector, the way failing media
// must be read: a failed read is retried one sector at a time, only the
// sectors that still fail are zeroed, and every lost byte is counted with its
// offset, so one bad sector never hides the sectors around it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <span>
#include <vector>

#include "platform/raw_source.h"

namespace orv {

// The unit in which storage media fail and raw disks are addressed.
inline constexpr std::size_t kSectorBytes = 512;

// The byte ranges of a source that could not be read, merged so that a range
// read twice (by two passes of a scan) counts once. Safe to use from several
// threads.
class UnreadableBytes {
 public:
  void add(std::uint64_t offset, std::uint64_t length);
  // Bytes in all ranges.
  std::uint64_t total() const;
  // The start offsets of the first `count` ranges, in ascending order.
  std::vector<std::uint64_t> firstOffsets(std::size_t count) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::uint64_t, std::uint64_t> ranges_;  // start -> end, disjoint, not touching
  std::uint64_t total_ = 0;
};

// Fills `out` with the bytes of `source` at `offset`. Bytes past the end of the
// source are zero and not counted as lost. On a short read the part not read
// is read again one sector at a time (sectors counted from the source's
// start); bytes of a sector that still cannot be read are zero and added to
// `unreadable`. `offset` and `out.size()` should be whole sectors, so that
// raw disks accept every read.
void ReadSectors(RawSource& source, std::uint64_t offset, std::span<std::uint8_t> out,
                 UnreadableBytes& unreadable);

}  // namespace orv
