#include "platform/win32/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace orv::win32 {

std::optional<std::wstring> ToWide(unsigned codePage, std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > INT_MAX) return std::nullopt;
  const int inLength = static_cast<int>(text.size());
  const int needed =
      MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), inLength, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), inLength, wide.data(),
                          needed) != needed)
    return std::nullopt;
  return wide;
}

std::optional<std::string> FromWide(unsigned codePage, std::wstring_view text) {
  if (codePage != CP_UTF8) return std::nullopt;
  if (text.empty()) return std::string();
  if (text.size() > INT_MAX / 4) return std::nullopt;
  const int inLength = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(codePage, WC_ERR_INVALID_CHARS, text.data(), inLength,
                                         nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(needed), '\0');
  if (WideCharToMultiByte(codePage, WC_ERR_INVALID_CHARS, text.data(), inLength, bytes.data(),
                          needed, nullptr, nullptr) != needed)
    return std::nullopt;
  return bytes;
}

std::optional<std::wstring> ToWideCString(std::string_view utf8) {
  if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
  return ToWide(CP_UTF8, utf8);
}

std::optional<std::wstring> ToWidePath(std::string_view utf8) {
  auto wide = ToWideCString(utf8);
  if (wide && wide->starts_with(LR"(\\?\)")) {
    std::replace(wide->begin(), wide->end(), L'/', L'\\');  // names joined with "/" by us
    return wide;
  }
  if (!wide || wide->size() < kLongPathLength || wide->starts_with(LR"(\\.\)")) return wide;
  const DWORD needed = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::nullopt;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(wide->c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return std::nullopt;
  full.resize(length);
  if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);  // \\server\share
  return LR"(\\?\)" + full;
}

}  // namespace orv::win32
