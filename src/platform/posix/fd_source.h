#pragma once
// The raw source over an open read-only descriptor, shared by image files and
// disks.

#include <memory>

#include "platform/raw_source.h"

namespace orv {

// Takes ownership of `fd` (closed with the source); `size` is its length.
std::unique_ptr<RawSource> AdoptReadOnlyDescriptor(int fd, std::uint64_t size);

}  // namespace orv
