#include <windows.h>

#include "platform/free_space.h"
#include "platform/win32/wide_text.h"

namespace orv {

std::optional<std::uint64_t> FreeBytesAvailable(const std::string& folder) {
  const std::optional<std::wstring> wide = win32::ToWideCString(folder);
  if (!wide) return std::nullopt;
  ULARGE_INTEGER available{};
  // A null folder asks for the current directory's volume.
  if (!GetDiskFreeSpaceExW(folder.empty() ? nullptr : wide->c_str(), &available, nullptr,
                           nullptr)) {
    return std::nullopt;
  }
  return available.QuadPart;
}

}  // namespace orv
