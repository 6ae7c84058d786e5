// The program's one GBK/GB18030 codec, driven by the generated mapping in
// gb18030_table.cpp, and the UTF-8 reading it needs.

#include "platform/text_codec.h"

#include <algorithm>
#include <vector>

#include "platform/gb18030_table.h"

namespace orv {
namespace {

constexpr std::size_t kNoCell = static_cast<std::size_t>(-1);
constexpr char32_t kLastCodePoint = 0x10FFFF;

// Cell of a two-byte sequence in gb18030::kTwoByteCells, or kNoCell.
std::size_t TwoByteCell(unsigned lead, unsigned trail) {
  if (lead < 0x81 || lead > 0xFE) return kNoCell;
  const std::size_t row = (lead - 0x81) * gb18030::kTrailCount;
  if (trail >= 0x40 && trail <= 0x7E) return row + (trail - 0x40);
  if (trail >= 0x80 && trail <= 0xFE) return row + (trail - 0x41);
  return kNoCell;
}

std::uint32_t TwoByteSequence(std::size_t cell) {
  const auto lead = static_cast<std::uint32_t>(0x81 + cell / gb18030::kTrailCount);
  const auto column = static_cast<std::uint32_t>(cell % gb18030::kTrailCount);
  return lead << 8 | (column < 0x3F ? 0x40 + column : 0x41 + column);
}

std::uint32_t FourByteSequence(std::uint32_t index) {
  return (0x81 + index / 12600) << 24 | (0x30 + index / 1260 % 10) << 16 |
         (0x81 + index / 10 % 126) << 8 | (0x30 + index % 10);
}

// The GB18030 bytes of every BMP code point from 0x80 on (0: none), built
// once from the generated tables.
class BmpEncodeTable {
 public:
  BmpEncodeTable() : bytes_(0x10000, 0) {
    for (std::size_t cell = 0; cell < gb18030::kTwoByteCellCount; ++cell)
      if (const char16_t cp = gb18030::kTwoByteCells[cell]) bytes_[cp] = TwoByteSequence(cell);
    for (std::size_t r = 0; r < gb18030::kFourByteRunCount; ++r) {
      const gb18030::FourByteRun& run = gb18030::kFourByteRuns[r];
      for (std::uint32_t k = 0; k < run.length; ++k)
        bytes_[run.firstCodePoint + k] = FourByteSequence(run.firstIndex + k);
    }
  }
  std::uint32_t operator[](char32_t cp) const { return bytes_[cp]; }

 private:
  std::vector<std::uint32_t> bytes_;
};

const BmpEncodeTable& BmpTable() {
  static const BmpEncodeTable table;
  return table;
}

// The character a four-byte sequence's index stands for, or none.
std::optional<char32_t> FourByteCodePoint(std::uint32_t index) {
  if (index >= gb18030::kSupplementaryFirstIndex) {
    const char32_t cp = 0x10000 + (index - gb18030::kSupplementaryFirstIndex);
    return cp <= kLastCodePoint ? std::optional<char32_t>(cp) : std::nullopt;
  }
  const gb18030::FourByteRun* begin = gb18030::kFourByteRuns;
  const gb18030::FourByteRun* end = begin + gb18030::kFourByteRunCount;
  const auto* after = std::upper_bound(
      begin, end, index, [](std::uint32_t i, const auto& run) { return i < run.firstIndex; });
  if (after == begin) return std::nullopt;
  const gb18030::FourByteRun& run = after[-1];
  if (index - run.firstIndex >= run.length) return std::nullopt;
  return static_cast<char32_t>(run.firstCodePoint + (index - run.firstIndex));
}

std::optional<char32_t> TwoByteCodePoint(unsigned lead, unsigned trail) {
  const std::size_t cell = TwoByteCell(lead, trail);
  if (cell == kNoCell) return std::nullopt;
  if (const char16_t cp = gb18030::kTwoByteCells[cell]) return cp;
  for (const gb18030::SupplementaryCell& s : gb18030::kSupplementaryCells)
    if (s.code == (lead << 8 | trail)) return s.codePoint;
  return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool InRange(unsigned byte, unsigned low, unsigned high) { return byte >= low && byte <= high; }

}  // namespace

Utf8Char ReadUtf8Char(std::string_view text, std::size_t pos) {
  const std::size_t n = text.size();
  const auto c = static_cast<std::uint8_t>(text[pos]);
  if (c < 0x80) return {c, 1};
  std::size_t extra;
  char32_t cp;
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
    return {};
  }
  if (n - pos - 1 < extra) return {};
  for (std::size_t k = 1; k <= extra; ++k) {
    const auto t = static_cast<std::uint8_t>(text[pos + k]);
    if ((t & 0xC0) != 0x80) return {};
    cp = (cp << 6) | (t & 0x3F);
  }
  if ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
      (extra == 3 && (cp < 0x10000 || cp > kLastCodePoint)))
    return {};
  return {cp, extra + 1};
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = ReadUtf8Char(text, pos).length;
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

Gb18030Char Gb18030Of(char32_t codePoint) {
  if (codePoint < 0x80) return {codePoint, 1};
  if (codePoint < 0x10000) {
    const std::uint32_t bytes = BmpTable()[codePoint];
    if (bytes == 0) return {};
    return {bytes, bytes <= 0xFFFF ? 2 : 4};
  }
  if (codePoint > kLastCodePoint) return {};
  for (const gb18030::SupplementaryCell& s : gb18030::kSupplementaryCells)
    if (s.codePoint == codePoint) return {s.code, 2};
  return {FourByteSequence(gb18030::kSupplementaryFirstIndex + (codePoint - 0x10000)), 4};
}

EncodedText EncodeGb18030(std::string_view utf8) {
  EncodedText out;
  out.bytes.reserve(utf8.size());
  ForEachGb18030Char(utf8, [&out](Gb18030Char c) {
    if (c.length == 0) {
      out.bytes += kUnconvertedMark;
      ++out.unconverted;
    }
    for (int k = c.length - 1; k >= 0; --k) out.bytes += static_cast<char>(c.bytes >> (8 * k));
  });
  return out;
}

std::optional<std::string> Utf8ToGb18030(std::string_view utf8) {
  EncodedText encoded = EncodeGb18030(utf8);
  if (encoded.unconverted) return std::nullopt;
  return std::move(encoded.bytes);
}

std::optional<std::string> Gb18030ToUtf8(std::string_view gb) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(gb.data());
  const std::size_t n = gb.size();
  std::string out;
  out.reserve(n * 3 / 2);
  for (std::size_t i = 0; i < n;) {
    const unsigned lead = bytes[i];
    std::optional<char32_t> cp;
    if (lead < 0x80) {
      cp = lead;
      i += 1;
    } else if (i + 1 >= n) {
      return std::nullopt;
    } else if (InRange(bytes[i + 1], 0x30, 0x39)) {
      // Four bytes: 0x81..0xFE, 0x30..0x39, 0x81..0xFE, 0x30..0x39.
      if (n - i < 4 || !InRange(lead, 0x81, 0xFE) || !InRange(bytes[i + 2], 0x81, 0xFE) ||
          !InRange(bytes[i + 3], 0x30, 0x39))
        return std::nullopt;
      cp = FourByteCodePoint(((lead - 0x81) * 10 + (bytes[i + 1] - 0x30)) * 1260 +
                             (bytes[i + 2] - 0x81) * 10 + (bytes[i + 3] - 0x30));
      i += 4;
    } else {
      cp = TwoByteCodePoint(lead, bytes[i + 1]);
      i += 2;
    }
    if (!cp) return std::nullopt;
    AppendUtf8(out, *cp);
  }
  return out;
}

std::size_t AnsiLength(std::string_view utf8) {
  std::size_t length = 0;
  ForEachGb18030Char(utf8, [&length](Gb18030Char c) { length += c.length ? c.length : 1; });
  return length;
}

EncodedText EncodeForFile(std::string_view utf8, FileEncoding encoding) {
  if (encoding == FileEncoding::kUtf8WithBom) return {std::string(utf8), 0};
  return EncodeGb18030(utf8);
}

std::optional<FileEncoding> ParseFileEncoding(std::string_view name) {
  if (name == "gb18030" || name == "gbk" || name == "GB18030" || name == "GBK")
    return FileEncoding::kGb18030;
  if (name == "utf-8" || name == "utf8" || name == "UTF-8") return FileEncoding::kUtf8WithBom;
  return std::nullopt;
}

}  // namespace orv
