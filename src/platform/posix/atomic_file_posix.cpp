#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/atomic_file.h"

namespace orv {
namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// A name beside `path` that no other writer of this process or another one
// picks: the process id and a per-process counter.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + base + "." + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".tmp";
}

std::error_code WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return {};
}

// Fills the open temporary file and closes it; the descriptor is closed on
// every way out. After a failed write the rest of the bytes are dropped.
std::error_code FillAndClose(int fd, const FileFiller& fill) {
  std::error_code error;
  const std::error_code refused = fill([&](std::string_view bytes) {
    if (!error) error = WriteAll(fd, bytes);
  });
  if (!error) error = refused;
  if (!error && ::fsync(fd) != 0) error = LastError();
  if (::close(fd) != 0 && !error) error = LastError();
  return error;
}

}  // namespace

std::error_code WriteFileAtomically(const std::string& path, const FileFiller& fill) {
  if (path.empty()) return std::make_error_code(std::errc::no_such_file_or_directory);
  std::string temporary;
  int fd = -1;
  // O_EXCL refuses a stale file of the same name; a few fresh names get past it.
  for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
    temporary = TemporaryNameFor(path);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return LastError();
  }
  if (fd < 0) return LastError();
  std::error_code error = FillAndClose(fd, fill);
  if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = LastError();
  if (error) ::unlink(temporary.c_str());
  return error;
}

}  // namespace orv
