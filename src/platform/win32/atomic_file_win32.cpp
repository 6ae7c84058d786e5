#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/atomic_file.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orv {
namespace {

using win32::UniqueHandle;

// WriteFile counts in 32 bits; larger writes go in pieces of this size.
constexpr std::size_t kMaxWritePiece = std::size_t{1} << 30;

std::error_code LastError() { return {static_cast<int>(GetLastError()), std::system_category()}; }

// A name beside `path` that no other writer of this process or another one
// picks: the process id and a per-process counter. Windows paths may use
// either slash.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = path.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  return folder + "." + base + "." + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".tmp";
}

std::error_code WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto piece = static_cast<DWORD>(std::min(bytes.size(), kMaxWritePiece));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), piece, &written, nullptr)) return LastError();
    if (written == 0) return std::make_error_code(std::errc::io_error);
    bytes.remove_prefix(written);
  }
  return {};
}

// Fills the open temporary file, pushes it to the disk and closes it. After a
// failed write the rest of the bytes are dropped.
std::error_code FillAndClose(UniqueHandle file, const FileFiller& fill) {
  std::error_code error;
  const std::error_code refused = fill([&](std::string_view bytes) {
    if (!error) error = WriteAll(file.get(), bytes);
  });
  if (!error) error = refused;
  if (!error && !FlushFileBuffers(file.get())) error = LastError();
  file.reset();  // the rename needs it closed
  return error;
}

}  // namespace

std::error_code WriteFileAtomically(const std::string& path, const FileFiller& fill) {
  if (path.empty()) return std::make_error_code(std::errc::no_such_file_or_directory);
  const auto target = win32::ToWidePath(path);
  if (!target) return std::make_error_code(std::errc::invalid_argument);
  std::wstring temporary;
  UniqueHandle file;
  // CREATE_NEW refuses a stale file of the same name; a few fresh names get past it.
  for (int attempt = 0; attempt < 8 && !file; ++attempt) {
    const auto name = win32::ToWidePath(TemporaryNameFor(path));
    if (!name) return std::make_error_code(std::errc::invalid_argument);
    temporary = *name;
    file.reset(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && GetLastError() != ERROR_FILE_EXISTS) return LastError();
  }
  if (!file) return LastError();
  std::error_code error = FillAndClose(std::move(file), fill);
  if (!error && !MoveFileExW(temporary.c_str(), target->c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    error = LastError();
  if (error) DeleteFileW(temporary.c_str());
  return error;
}

}  // namespace orv
