#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/disk_source.h"
#include "platform/posix/fd_source.h"

namespace orv {
namespace {

DiskOpenError ErrorOfOpen(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:  // the node is there, its device is gone
    case ENODEV:
      return DiskOpenError::kNotFound;
    case EACCES:
    case EPERM:
      return DiskOpenError::kPermissionDenied;
    default:
      return DiskOpenError::kNotReadable;
  }
}

}  // namespace

DiskOpenResult OpenDisk(const std::string& node) {
  const int fd = ::open(node.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {nullptr, ErrorOfOpen(errno)};
  struct stat st {};
  std::uint64_t bytes = 0;
  DiskOpenError error = DiskOpenError::kNone;
  if (::fstat(fd, &st) != 0) {
    error = DiskOpenError::kSizeUnknown;
  } else if (S_ISBLK(st.st_mode)) {
    if (::ioctl(fd, BLKGETSIZE64, &bytes) != 0) error = DiskOpenError::kSizeUnknown;
  } else if (S_ISREG(st.st_mode)) {
    bytes = static_cast<std::uint64_t>(st.st_size);
  } else {
    error = DiskOpenError::kNotReadable;  // a folder, a character device, a pipe
  }
  if (error != DiskOpenError::kNone) {
    ::close(fd);
    return {nullptr, error};
  }
  return {AdoptReadOnlyDescriptor(fd, bytes), DiskOpenError::kNone};
}

std::string DiskPermissionHint(const std::string& node) {
  return "没有读取 " + node +
         " 的权限。请把当前用户加入 disk 组（sudo usermod -aG disk $USER，重新登录后生效），"
         "或者以管理员身份扫描：sudo orv-scan " +
         node + " -o 输出文件夹";
}

}  // namespace orv
