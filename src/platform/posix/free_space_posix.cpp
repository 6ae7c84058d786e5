#include <sys/statvfs.h>

#include "platform/free_space.h"

namespace orv {

std::optional<std::uint64_t> FreeBytesAvailable(const std::string& folder) {
  struct statvfs volume {};
  if (statvfs(folder.empty() ? "." : folder.c_str(), &volume) != 0) return std::nullopt;
  // f_bavail: blocks free to unprivileged users, counted in f_frsize units.
  return static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
}

}  // namespace orv
