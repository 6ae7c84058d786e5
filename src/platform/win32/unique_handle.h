#pragma once
// Ownership of one Windows kernel handle (file, pipe end, process), closed on
// every way out of the scope that holds it.

#include <windows.h>

#include <utility>

namespace orv::win32 {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  // Takes ownership. The calls that fail with INVALID_HANDLE_VALUE and those
  // that fail with a null handle both leave an empty holder.
  explicit UniqueHandle(HANDLE handle) { reset(handle); }
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset(HANDLE handle = nullptr) {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace orv::win32
