#include <iconv.h>

#include <cerrno>

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

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
  if (!IsValidUtf8(utf8)) return std::nullopt;
  return Convert("GB18030", "UTF-8", utf8);
}

std::optional<std::string> Gb18030ToUtf8(std::string_view gb) {
  return Convert("UTF-8", "GB18030", gb);
}

}  // namespace orv
