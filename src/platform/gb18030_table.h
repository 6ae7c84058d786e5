#pragma once
// The GB18030 mapping the program uses on every system, generated once by
// scripts/generate-gb18030-table (see there for its source and checks).
// Read-only data: safe from any thread.

#include <cstddef>
#include <cstdint>

namespace orv::gb18030 {

// Two-byte sequences: lead bytes 0x81..0xFE, each with 190 trail bytes
// 0x40..0x7E and 0x80..0xFE. Every cell holds its BMP character, or zero when
// its character lies beyond the BMP (listed in kSupplementaryCells).
inline constexpr std::size_t kTrailCount = 190;
inline constexpr std::size_t kTwoByteCellCount = 126 * kTrailCount;
extern const char16_t kTwoByteCells[kTwoByteCellCount + 1];  // + the literal's terminator

// Two-byte sequences of characters beyond the BMP. Such a character encodes to
// its two-byte form; its four-byte form (below) decodes to it as well.
struct SupplementaryCell {
  std::uint16_t code;  // lead byte * 256 + trail byte
  char32_t codePoint;
};
inline constexpr std::size_t kSupplementaryCellCount = 6;
extern const SupplementaryCell kSupplementaryCells[kSupplementaryCellCount];

// Four-byte sequences b1 b2 b3 b4 (0x81..0xFE, 0x30..0x39 alternating) are
// numbered ((b1-0x81)*10 + (b2-0x30))*1260 + (b3-0x81)*10 + (b4-0x30).
// Indexes below kBmpFourByteLimit hold the BMP characters that have no shorter
// form, as runs where index and code point rise together, sorted by index;
// an index in no run is not a character.
inline constexpr std::uint32_t kBmpFourByteLimit = 4 * 12600;
struct FourByteRun {
  std::uint16_t firstIndex;
  std::uint16_t firstCodePoint;
  std::uint16_t length;
};
extern const FourByteRun kFourByteRuns[];
extern const std::size_t kFourByteRunCount;

// From index kSupplementaryFirstIndex (0x90308130) on: U+10000.. in order.
inline constexpr std::uint32_t kSupplementaryFirstIndex = (0x90 - 0x81) * 12600;

}  // namespace orv::gb18030
