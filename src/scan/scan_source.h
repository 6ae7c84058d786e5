#pragma once
// Which source a scan path names, and opening it read-only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/raw_source.h"

namespace orv {

// The disk number of a USB disk line, the disk chooser's entry text:
// "USB", two blanks, a decimal disk number, ":", then model, size and bus.
// Empty for every other text, which names an image file.
std::optional<unsigned> ParseUsbDiskLine(std::string_view path);

enum class SourceFailure { kNone, kSizeUnknown, kOpenFailed };

struct OpenedSource {
  std::unique_ptr<RawSource> source;
  SourceFailure failure = SourceFailure::kNone;
};

// Opens what `scanPath` names for reading. A file that does not exist has no
// length (kSizeUnknown); one that exists but cannot be read, or a directory,
// fails to open (kOpenFailed). Physical disks are not yet supported here and
// report kSizeUnknown.
OpenedSource OpenScanSource(const std::string& scanPath);

}  // namespace orv
