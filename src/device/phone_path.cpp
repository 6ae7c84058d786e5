#include "device/phone_path.h"

#include <cstdint>
#include <optional>

namespace orv {
namespace {

bool IsSafeAscii(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '/':
    case '.':
    case '_':
    case '-':
    case '+':
    case ',':
    case '@':
    case ':':
      return true;
    default:
      return false;
  }
}

// Blanks and characters that show nothing: a name holding one would not
// look like what is run.
bool IsInvisible(std::uint32_t code) {
  return code <= 0xA0 || code == 0x1680 || (code >= 0x2000 && code <= 0x200F) ||
         (code >= 0x2028 && code <= 0x202F) || (code >= 0x205F && code <= 0x206F) ||
         code == 0x3000 || code == 0xFEFF;
}

struct DecodedCharacter {
  std::uint32_t code;
  std::size_t length;
};

// The well-formed UTF-8 character at the start of `text` (no overlong forms,
// no surrogates, nothing above U+10FFFF).
std::optional<DecodedCharacter> DecodeUtf8(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  std::uint32_t code = 0;
  std::uint32_t smallest = 0;
  if (lead < 0x80) return DecodedCharacter{lead, 1};
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code = lead & 0x1F, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code = lead & 0x07, smallest = 0x10000;
  } else {
    return std::nullopt;
  }
  if (text.size() < length) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  return DecodedCharacter{code, length};
}

bool HasDotSegment(std::string_view path) {
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = path.find('/', begin);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(begin, end - begin);
    if (segment == "." || segment == "..") return true;
    begin = end + 1;
  }
  return false;
}

}  // namespace

std::string PhonePathProblem(std::string_view path) {
  if (path.empty()) return "手机路径为空";
  if (path.front() != '/') return "手机路径不是以/开头的绝对路径";
  if (path.size() > kMaxPhonePathBytes) return "手机路径过长";
  for (std::size_t at = 0; at < path.size();) {
    const auto c = static_cast<unsigned char>(path[at]);
    if (c < 0x80) {
      if (!IsSafeAscii(c)) return "手机路径含有不安全的字符";
      ++at;
      continue;
    }
    const auto decoded = DecodeUtf8(path.substr(at));
    if (!decoded) return "手机路径不是有效的UTF-8文本";
    if (IsInvisible(decoded->code)) return "手机路径含有空白或不可见的字符";
    at += decoded->length;
  }
  if (HasDotSegment(path)) return "手机路径含有.或..路径段";
  return {};
}

std::string PrintableForLog(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    const auto c = static_cast<unsigned char>(text[at]);
    if (c >= 0x80) {
      if (const auto decoded = DecodeUtf8(text.substr(at)); decoded && decoded->code > 0x9F) {
        shown.append(text.substr(at, decoded->length));
        at += decoded->length;
        continue;
      }
    }
    if (c == '\\') {
      shown += "\\\\";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c < 0x20 || c >= 0x7F) {
      shown += "\\x";
      shown += kHex[c >> 4];
      shown += kHex[c & 0xF];
    } else {
      shown += static_cast<char>(c);
    }
    ++at;
  }
  return shown;
}

}  // namespace orv
