#include "platform/sector_read.h"

#include <algorithm>
#include <cstring>

namespace orv {

void UnreadableBytes::add(std::uint64_t offset, std::uint64_t length) {
  if (length == 0) return;
  std::uint64_t start = offset;
  std::uint64_t end = offset + length;
  std::lock_guard lock(mutex_);
  // Swallow every range that overlaps or touches [start, end).
  auto it = ranges_.upper_bound(start);
  if (it != ranges_.begin() && std::prev(it)->second >= start) --it;
  while (it != ranges_.end() && it->first <= end) {
    start = std::min(start, it->first);
    end = std::max(end, it->second);
    total_ -= it->second - it->first;
    it = ranges_.erase(it);
  }
  ranges_.emplace(start, end);
  total_ += end - start;
}

std::uint64_t UnreadableBytes::total() const {
  std::lock_guard lock(mutex_);
  return total_;
}

std::vector<std::uint64_t> UnreadableBytes::firstOffsets(std::size_t count) const {
  std::lock_guard lock(mutex_);
  std::vector<std::uint64_t> offsets;
  for (auto it = ranges_.begin(); it != ranges_.end() && offsets.size() < count; ++it)
    offsets.push_back(it->first);
  return offsets;
}

void ReadSectors(RawSource& source, std::uint64_t offset, std::span<std::uint8_t> out,
                 UnreadableBytes& unreadable) {
  const std::uint64_t sourceSize = source.size();
  const std::size_t inSource =
      offset >= sourceSize
          ? 0
          : static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), sourceSize - offset));
  std::size_t done = inSource == 0 ? 0 : source.readAt(offset, out.data(), inSource);
  // Retry from the sector that holds the first byte not read.
  while (done < inSource) {
    const std::uint64_t at = offset + done;
    const std::uint64_t sectorEnd = (at / kSectorBytes + 1) * kSectorBytes;
    const auto piece =
        static_cast<std::size_t>(std::min<std::uint64_t>(sectorEnd - at, inSource - done));
    const std::size_t got = std::min(source.readAt(at, out.data() + done, piece), piece);
    if (got < piece) {
      std::memset(out.data() + done + got, 0, piece - got);
      unreadable.add(at + got, piece - got);
    }
    done += piece;
  }
  std::memset(out.data() + inSource, 0, out.size() - inSource);
}

}  // namespace orv
