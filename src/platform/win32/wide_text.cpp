#include "platform/win32/wide_text.h"

#include <windows.h>

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

}  // namespace orv::win32
