#include <windows.h>

#include <algorithm>

#include "platform/raw_source.h"
#include "platform/win32/handle_source.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orv {
namespace {

using win32::UniqueHandle;

// ReadFile counts in 32 bits; larger reads go in pieces of this size.
constexpr std::size_t kMaxReadPiece = std::size_t{1} << 30;

class Win32FileSource : public RawSource {
 public:
  Win32FileSource(UniqueHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}

  std::uint64_t size() const override { return size_; }

  std::size_t readAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t length) override {
    std::size_t done = 0;
    while (done < length) {
      // The offset travels with each read, so no shared file pointer is moved first.
      const std::uint64_t position = offset + done;
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const auto piece = static_cast<DWORD>(std::min(length - done, kMaxReadPiece));
      DWORD got = 0;
      if (!ReadFile(file_.get(), buffer + done, piece, &got, &at) || got == 0) break;
      done += got;
    }
    return done;
  }

 private:
  UniqueHandle file_;
  std::uint64_t size_;
};

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME || error == ERROR_BAD_NETPATH;
}

struct FileFacts {
  bool found = false;
  DWORD error = ERROR_SUCCESS;  // why it was not found
  bool directory = false;
  std::uint64_t bytes = 0;
};

FileFacts Inspect(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
    return {false, GetLastError(), false, 0};
  const bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return {true, ERROR_SUCCESS, directory,
          (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow};
}

}  // namespace

OpenResult OpenImageFile(const std::string& path) {
  const auto wide = win32::ToWidePath(path);
  if (!wide) return {nullptr, OpenError::kNotFound};
  const FileFacts facts = Inspect(*wide);
  if (!facts.found)
    return {nullptr, IsMissing(facts.error) ? OpenError::kNotFound : OpenError::kNotReadable};
  if (facts.directory) return {nullptr, OpenError::kNotReadable};
  // Others may go on reading and writing the image; we only ever read it.
  UniqueHandle file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return {nullptr, OpenError::kNotReadable};
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0)
    return {nullptr, OpenError::kSizeUnknown};
  return {
      std::make_unique<Win32FileSource>(std::move(file), static_cast<std::uint64_t>(size.QuadPart)),
      OpenError::kNone};
}

SizeQuery QueryFileSize(const std::string& path) {
  const auto wide = win32::ToWidePath(path);
  if (!wide) return {};
  const FileFacts facts = Inspect(*wide);
  if (!facts.found || facts.directory) return {};
  return {true, facts.bytes};
}

}  // namespace orv

namespace orv::win32 {

std::unique_ptr<RawSource> AdoptReadOnlyHandle(UniqueHandle handle, std::uint64_t size) {
  return std::make_unique<Win32FileSource>(std::move(handle), size);
}

}  // namespace orv::win32
