#include "scan/scan_source.h"

namespace orv {

std::optional<unsigned> ParseUsbDiskLine(std::string_view path) {
  constexpr std::string_view kPrefix = "USB  ";
  if (!path.starts_with(kPrefix)) return std::nullopt;
  std::size_t i = kPrefix.size();
  unsigned number = 0;
  const std::size_t firstDigit = i;
  while (i < path.size() && path[i] >= '0' && path[i] <= '9' && i - firstDigit < 6)
    number = number * 10 + static_cast<unsigned>(path[i++] - '0');
  if (i == firstDigit || i >= path.size() || path[i] != ':') return std::nullopt;
  return number;
}

OpenedSource OpenScanSource(const std::string& scanPath) {
  if (ParseUsbDiskLine(scanPath)) return {nullptr, SourceFailure::kSizeUnknown};
  if (!QueryFileSize(scanPath).ok) {
    // A directory has a length of sorts but is no image: it fails to open.
    OpenResult probe = OpenImageFile(scanPath);
    return {nullptr, probe.error == OpenError::kNotFound ? SourceFailure::kSizeUnknown
                                                         : SourceFailure::kOpenFailed};
  }
  OpenResult opened = OpenImageFile(scanPath);
  if (opened.error != OpenError::kNone) return {nullptr, SourceFailure::kOpenFailed};
  return {std::move(opened.source), SourceFailure::kNone};
}

}  // namespace orv
