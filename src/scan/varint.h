#pragma once
// SQLite varints as the scan engine accepts them: short forms only, and never
// a byte read past the end of the span given.
//
// A varint byte contributes its low seven bits, most significant group
// first; a set top bit means another byte follows (SQLite file format,
// "Variable-length integers"). Real payload lengths, rowids and serial types
// on a phone's pages are short, so longer forms mark a cell as garbage.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orv {

struct Varint {
  std::uint64_t value = 0;
  std::uint32_t length = 0;  // bytes consumed
};

// Reads a varint of at most `maxBytes` bytes at `pos` of `data[0, size)`.
// Empty when a byte would lie past `size`, or when the last allowed byte
// still has its top bit set.
[[nodiscard]] inline std::optional<Varint> ReadShortVarint(const std::uint8_t* data,
                                                           std::size_t size, std::size_t pos,
                                                           std::uint32_t maxBytes) {
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < maxBytes; ++i) {
    if (pos + i >= size) return std::nullopt;
    const std::uint8_t byte = data[pos + i];
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return Varint{value, i + 1};
  }
  return std::nullopt;
}

// Reads a varint in any of SQLite's forms (up to nine bytes, the ninth
// contributing all eight bits) at `pos` of `data[0, size)`; empty when a byte
// would lie past `size`.
[[nodiscard]] inline std::optional<Varint> ReadFullVarint(const std::uint8_t* data,
                                                          std::size_t size, std::size_t pos) {
  constexpr std::uint32_t kLongest = 9;
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < kLongest; ++i) {
    if (pos + i >= size) return std::nullopt;
    const std::uint8_t byte = data[pos + i];
    if (i == kLongest - 1) return Varint{(value << 8) | byte, kLongest};
    value = (value << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return Varint{value, i + 1};
  }
  return std::nullopt;
}

inline std::uint16_t ReadBigEndian16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

}  // namespace orv
