#include <windows.h>

#include "platform/text_codec.h"
#include "platform/win32/wide_text.h"

namespace orv {

// Windows converts between code pages only through UTF-16.

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  const auto wide = win32::ToWide(CP_UTF8, utf8);
  if (!wide) return std::nullopt;
  return win32::FromWide(win32::kGb18030CodePage, *wide);
}

std::optional<std::string> Gb18030ToUtf8(std::string_view gb) {
  const auto wide = win32::ToWide(win32::kGb18030CodePage, gb);
  if (!wide) return std::nullopt;
  return win32::FromWide(CP_UTF8, *wide);
}

}  // namespace orv
