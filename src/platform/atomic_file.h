#pragma once
// Replacing a file all at once. Every file the program writes for the user goes
// through here, so a failed write (disk full, file too large, no rights) never
// leaves a truncated file where a good one stood.

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace orv {

// Takes the next bytes of a file being written.
using ByteSink = std::function<void(std::string_view bytes)>;
// Hands a file's bytes to the sink, in order and in pieces of any size, so
// that a large file need never be held whole. Returns an error to abandon
// the file.
using FileFiller = std::function<std::error_code(const ByteSink& write)>;

// Writes the bytes `fill` produces to a new temporary file in the folder of
// `path`, flushes it to the disk and renames it over `path` (created or
// replaced). On success the file at `path` holds exactly those bytes; on
// failure (of a write or of `fill`) `path` is as it was before and the
// temporary file is gone. Returns the cause of a failure, or an empty error
// code. Thread-safe; two writers of the same path leave one complete
// version.
std::error_code WriteFileAtomically(const std::string& path, const FileFiller& fill);

// Writes `bytes` in the same way.
inline std::error_code WriteFileAtomically(const std::string& path, std::string_view bytes) {
  return WriteFileAtomically(path, [bytes](const ByteSink& write) {
    write(bytes);
    return std::error_code();
  });
}

}  // namespace orv
