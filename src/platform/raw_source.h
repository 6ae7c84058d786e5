#pragma once
// Read-only access to the bytes being scanned: an image file (and, on systems
// that have them, a physical disk). Evidence is never opened for writing.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orv {

class RawSource {
 public:
  virtual ~RawSource() = default;
  // Length in bytes, fixed when the source was opened.
  virtual std::uint64_t size() const = 0;
  // Reads up to `length` bytes at `offset` into `buffer` and returns how many
  // were read in one run from `offset` on: the count stops at the end of the
  // source or at the first byte the system failed to read. Bytes not read are
  // left as they were. One call is one attempt; retrying the failed part and
  // zeroing it is ReadSectors' job (platform/sector_read.h), shared by every
  // kind of source. Raw disks on some systems refuse reads whose offset and
  // length are not whole sectors: callers read whole sectors. Safe to call
  // from several threads at once: every read names its own offset (pread,
  // ReadFile with an OVERLAPPED offset), no file position is shared.
  [[nodiscard]] virtual std::size_t readAt(std::uint64_t offset, std::uint8_t* buffer,
                                           std::size_t length) = 0;
};

enum class OpenError {
  kNone,
  kNotFound,     // no such file
  kNotReadable,  // exists but cannot be opened for reading (rights, a directory)
  kSizeUnknown,  // opened, but its length cannot be had
};

struct OpenResult {
  std::unique_ptr<RawSource> source;  // set when error == kNone
  OpenError error = OpenError::kNone;
};

// Opens an image file read-only. A directory is not readable as an image.
OpenResult OpenImageFile(const std::string& path);

// Length of a file in bytes without opening it for reading; empty when it
// cannot be had (no such file, not a regular file or block device).
struct SizeQuery {
  bool ok = false;
  std::uint64_t bytes = 0;
};
SizeQuery QueryFileSize(const std::string& path);

}  // namespace orv
