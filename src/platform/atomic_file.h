#pragma once
// Replacing a file all at once. Every file the program writes for the user goes
// through here, so a failed write (disk full, file too large, no rights) never
// leaves a truncated file where a good one stood.

#include <string>
#include <string_view>
#include <system_error>

namespace orv {

// Writes `bytes` to a new temporary file in the folder of `path`, flushes it to
// the disk and renames it over `path` (created or replaced). On success the
// file at `path` holds exactly `bytes`; on failure `path` is as it was before
// and the temporary file is gone. Returns the cause of a failure, or an empty
// error code. Thread-safe; two writers of the same path leave one complete
// version.
std::error_code WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace orv
