#pragma once
// The raw source over an open read-only handle, shared by image files and
// disks.

#include <memory>

#include "platform/raw_source.h"
#include "platform/win32/unique_handle.h"

namespace orv::win32 {

// Takes ownership of `handle`; `size` is its length.
std::unique_ptr<RawSource> AdoptReadOnlyHandle(UniqueHandle handle, std::uint64_t size);

}  // namespace orv::win32
