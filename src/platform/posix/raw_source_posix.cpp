#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/fd_source.h"
#include "platform/raw_source.h"

namespace orv {
namespace {

class PosixFileSource : public RawSource {
 public:
  PosixFileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {
#ifdef POSIX_FADV_SEQUENTIAL
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  }
  ~PosixFileSource() override { ::close(fd_); }
  PosixFileSource(const PosixFileSource&) = delete;
  PosixFileSource& operator=(const PosixFileSource&) = delete;

  std::uint64_t size() const override { return size_; }

  std::size_t readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    std::size_t done = 0;
    while (done < length) {
      const ssize_t n =
          ::pread(fd_, buffer + done, length - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  int fd_;
  std::uint64_t size_;
};

bool SizeOf(const struct stat& st, int fd, std::uint64_t& bytes) {
  if (S_ISREG(st.st_mode)) {
    bytes = static_cast<std::uint64_t>(st.st_size);
    return true;
  }
  if (S_ISBLK(st.st_mode) && fd >= 0) {
    const off_t end = ::lseek(fd, 0, SEEK_END);
    if (end < 0) return false;
    bytes = static_cast<std::uint64_t>(end);
    return true;
  }
  return false;
}

}  // namespace

OpenResult OpenImageFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return {nullptr,
            errno == ENOENT || errno == ENOTDIR ? OpenError::kNotFound : OpenError::kNotReadable};
  if (S_ISDIR(st.st_mode)) return {nullptr, OpenError::kNotReadable};
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {nullptr, OpenError::kNotReadable};
  std::uint64_t bytes = 0;
  if (!SizeOf(st, fd, bytes)) {
    ::close(fd);
    return {nullptr, OpenError::kSizeUnknown};
  }
  return {std::make_unique<PosixFileSource>(fd, bytes), OpenError::kNone};
}

SizeQuery QueryFileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  std::uint64_t bytes = 0;
  if (S_ISREG(st.st_mode)) return {true, static_cast<std::uint64_t>(st.st_size)};
  if (S_ISBLK(st.st_mode)) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    const bool ok = SizeOf(st, fd, bytes);
    ::close(fd);
    return {ok, bytes};
  }
  return {};
}

}  // namespace orv

namespace orv {

std::unique_ptr<RawSource> AdoptReadOnlyDescriptor(int fd, std::uint64_t size) {
  return std::make_unique<PosixFileSource>(fd, size);
}

}  // namespace orv
