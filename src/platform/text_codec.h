#pragma once
// Conversion between the program's UTF-8 text and the Chinese code pages.
//
// The program keeps all text as UTF-8. The code page matters only where the
// phone's data must be judged the way a GBK system judges it (the name test's
// double-byte ranges, lengths counted in ANSI characters) and where files are
// written for the user. One table-driven codec (gb18030_table.h) serves every
// system, so every system writes the same bytes. Every function is
// thread-safe.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// One character read from UTF-8: its code point and its byte count. A byte
// that starts no well-formed character (overlong, surrogate, beyond U+10FFFF,
// cut short, stray continuation byte) reads as length 0.
struct Utf8Char {
  char32_t codePoint = 0;
  std::size_t length = 0;
};
Utf8Char ReadUtf8Char(std::string_view text, std::size_t pos);

// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// The GB18030 form of one code point: `length` bytes (1, 2 or 4) held in
// `bytes` with the last byte lowest, or length 0 when the mapping has no form
// for it (a handful of private-use code points). Characters GBK has come out
// as their GBK bytes.
struct Gb18030Char {
  std::uint32_t bytes = 0;
  int length = 0;
};
Gb18030Char Gb18030Of(char32_t codePoint);

// Calls visit(Gb18030Char) for each character of `utf8` in order. A byte of
// malformed UTF-8 and a character without a GB18030 form come as length 0.
template <typename Visit>
void ForEachGb18030Char(std::string_view utf8, Visit&& visit) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto first = static_cast<unsigned char>(utf8[pos]);
    if (first < 0x80) {  // ASCII, by far the most common
      visit(Gb18030Char{first, 1});
      ++pos;
      continue;
    }
    const Utf8Char c = ReadUtf8Char(utf8, pos);
    visit(c.length ? Gb18030Of(c.codePoint) : Gb18030Char{});
    pos += c.length ? c.length : 1;
  }
}

// What a conversion gave: the bytes, and how many characters (or bytes of
// malformed input) could not be converted; each of those is written as
// kUnconvertedMark so that nothing vanishes unseen.
inline constexpr char kUnconvertedMark = '?';
struct EncodedText {
  std::string bytes;
  std::size_t unconverted = 0;
};

// UTF-8 -> GB18030, converting what can be converted.
EncodedText EncodeGb18030(std::string_view utf8);

// UTF-8 -> GB18030. Empty optional when anything could not be converted.
std::optional<std::string> Utf8ToGb18030(std::string_view utf8);

// GB18030 (and so GBK) -> UTF-8. Empty optional on an invalid sequence.
std::optional<std::string> Gb18030ToUtf8(std::string_view gb);

// Length of `utf8` in bytes of its GB18030 form (EncodeGb18030's bytes): what
// a GBK system counts as the length of an ANSI string.
std::size_t AnsiLength(std::string_view utf8);

// Encodings of files written for the user.
enum class FileEncoding { kGb18030, kUtf8WithBom };

// `utf8` as the bytes a file of `encoding` holds (a BOM is not included).
// UTF-8 is written as it is and never counts anything unconverted.
EncodedText EncodeForFile(std::string_view utf8, FileEncoding encoding);

// Parses "gb18030" / "gbk" / "utf-8" / "utf8"; empty optional otherwise.
std::optional<FileEncoding> ParseFileEncoding(std::string_view name);

}  // namespace orv
