// The parts of the text codec that need no system conversion tables.

#include "platform/text_codec.h"

#include <cstdint>

namespace orv {

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<std::uint8_t>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int extra;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (n - i - 1 < static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto t = static_cast<std::uint8_t>(text[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += extra + 1;
  }
  return true;
}

std::size_t AnsiLength(std::string_view utf8) {
  bool ascii = true;
  for (char c : utf8) ascii = ascii && static_cast<std::uint8_t>(c) < 0x80;
  if (ascii) return utf8.size();
  const auto gb = Utf8ToGb18030(utf8);
  return gb ? gb->size() : utf8.size();
}

std::string EncodeForFile(std::string_view utf8, FileEncoding encoding) {
  if (encoding == FileEncoding::kUtf8WithBom) return std::string(utf8);
  auto gb = Utf8ToGb18030(utf8);
  return gb ? *gb : std::string(utf8);
}

std::optional<FileEncoding> ParseFileEncoding(std::string_view name) {
  if (name == "gb18030" || name == "gbk" || name == "GB18030" || name == "GBK")
    return FileEncoding::kGb18030;
  if (name == "utf-8" || name == "utf8" || name == "UTF-8") return FileEncoding::kUtf8WithBom;
  return std::nullopt;
}

}  // namespace orv
