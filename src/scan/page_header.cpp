#include "scan/page_header.h"

#include "scan/varint.h"

namespace orv {
namespace {

constexpr unsigned kMaxCells = 799;
constexpr unsigned kPageEnd = 4095;

bool HeaderFieldsPlausible(unsigned firstFreeblock, unsigned cells, unsigned contentStart) {
  return firstFreeblock <= kPageEnd && cells >= 1 && cells <= kMaxCells &&
         cells * 2 + 8 <= contentStart && contentStart <= kPageEnd;
}

bool PointerInPage(unsigned pointer, unsigned cells) {
  return pointer >= cells * 2 + 8 && pointer <= kPageEnd;
}

}  // namespace

bool ReadLeafPageCandidate(std::span<const std::uint8_t> buffer, std::size_t q,
                           std::vector<std::uint16_t>& pointers) {
  const std::uint8_t* p = buffer.data() + q;
  const unsigned cells = ReadBigEndian16(p + 3);
  const unsigned contentStart = ReadBigEndian16(p + 5);
  if (!HeaderFieldsPlausible(ReadBigEndian16(p + 1), cells, contentStart)) return false;
  if (q + 8 + cells * 2 > buffer.size()) return false;
  if (cells == 1 && ReadBigEndian16(p + 8) != contentStart) return false;
  // Check every pointer before allocating anything.
  for (unsigned j = 0; j < cells; ++j)
    if (!PointerInPage(ReadBigEndian16(p + 8 + 2 * j), cells)) return false;
  pointers.resize(cells);
  for (unsigned j = 0; j < cells; ++j) pointers[j] = ReadBigEndian16(p + 8 + 2 * j);
  return true;
}

bool IsAbandonedPageCandidate(std::span<const std::uint8_t> buffer, std::size_t q) {
  const std::uint8_t type = buffer[q];
  if (type != kTableInteriorPage && type != kIndexInteriorPage && type != kIndexLeafPage)
    return false;
  const std::uint8_t* p = buffer.data() + q;
  const unsigned cells = ReadBigEndian16(p + 3);
  const unsigned contentStart = ReadBigEndian16(p + 5);
  if (!HeaderFieldsPlausible(ReadBigEndian16(p + 1), cells, contentStart)) return false;
  const std::size_t array = q + PageHeaderLength(type);
  if (array + cells * 2 > buffer.size()) return false;
  if (cells == 1 && ReadBigEndian16(buffer.data() + array) != contentStart) return false;
  for (unsigned j = 0; j < cells; ++j)
    if (!PointerInPage(ReadBigEndian16(buffer.data() + array + 2 * j), cells)) return false;
  return true;
}

bool ReadListedPagePointers(std::span<const std::uint8_t> page,
                            std::vector<std::uint16_t>& pointers) {
  const unsigned cells = ReadBigEndian16(page.data() + 3);
  if (cells * 2 > 4088) return false;
  pointers.resize(cells);
  for (unsigned j = 0; j < cells; ++j) {
    pointers[j] = ReadBigEndian16(page.data() + 8 + 2 * j);
    if (!PointerInPage(pointers[j], cells)) return false;
  }
  return true;
}

}  // namespace orv
