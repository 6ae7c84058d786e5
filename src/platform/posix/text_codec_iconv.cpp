#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "platform/text_codec.h"

namespace orv {
namespace {

// One conversion with a fresh descriptor: iconv_t is not safe to share
// between threads, and opening one costs little next to the file writes and
// the per-record name tests it serves.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 8, '\0');
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

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

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  return Convert("GB18030", "UTF-8", utf8);
}

std::optional<std::string> Gb18030ToUtf8(std::string_view gb) {
  return Convert("UTF-8", "GB18030", gb);
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
