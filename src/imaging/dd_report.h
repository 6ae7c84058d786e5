#pragma once
// What `dd` prints when it ends, read for the number of bytes it wrote: the
// only measure of a copy onto a card's block device, whose length `ls -l`
// does not show.

#include <cstdint>
#include <optional>
#include <string_view>

namespace orv {

// The bytes copied according to `report` (dd's standard error and output, any
// line ends). Understands "N bytes transferred in ..." (toolbox), "N bytes
// (...) copied" (toybox, GNU) and, failing those, "F+0 records out" with the
// default 512-byte blocks. Empty when the report says none of these, or when
// partial records leave the count unknown.
std::optional<std::int64_t> BytesCopiedByDd(std::string_view report);

}  // namespace orv
