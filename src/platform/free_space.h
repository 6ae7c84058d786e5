#pragma once
// The free space of the volume that holds a folder on the PC.

#include <cstdint>
#include <optional>
#include <string>

namespace orv {

// Bytes the current user may still write on the volume holding `folder`
// (UTF-8; the current directory's volume when empty). Empty optional when the
// system cannot tell (no such folder, no access).
std::optional<std::uint64_t> FreeBytesAvailable(const std::string& folder);

}  // namespace orv
