#include "scan/page_header.h"

#include <optional>

#include "scan/page_format.h"
#include "scan/varint.h"

namespace orv {
namespace {

// Where a header's cell pointer array ends, as an offset in its page.
std::size_t ArrayEnd(std::size_t headerBytes, std::size_t cells) {
  return headerBytes + cells * kCellPointerBytes;
}

// The 2-byte fields after a page's type byte (file format, "B-tree Page
// Header Format"): first freeblock at +1, cell count at +3, content start at +5.
struct HeaderFields {
  std::size_t firstFreeblock;
  std::size_t cells;
  std::size_t contentStart;
};

// The fields of the header whose type byte is at `q`; empty when the 8 bytes
// of a leaf header do not lie in `buffer`.
std::optional<HeaderFields> ReadHeaderFields(std::span<const std::uint8_t> buffer, std::size_t q) {
  if (q >= buffer.size() || buffer.size() - q < kLeafHeaderBytes) return std::nullopt;
  const std::uint8_t* p = buffer.data() + q;
  return HeaderFields{ReadBigEndian16(p + 1), ReadBigEndian16(p + 3), ReadBigEndian16(p + 5)};
}

// Pointer `j` of a cell pointer array the caller has checked holds it.
std::uint16_t PointerAt(std::span<const std::uint8_t> array, std::size_t j) {
  return ReadBigEndian16(array.data() + j * kCellPointerBytes);
}

// The recognition rule measures the array from an 8-byte header on every
// page type, so interior pages get the same bounds as leaves.
bool HeaderFieldsPlausible(const HeaderFields& header) {
  return header.firstFreeblock <= kLastPageOffset && header.cells >= 1 &&
         header.cells <= kMaxCandidateCells &&
         ArrayEnd(kLeafHeaderBytes, header.cells) <= header.contentStart &&
         header.contentStart <= kLastPageOffset;
}

bool PointerInPage(std::size_t pointer, std::size_t cells,
                   std::size_t lastPageOffset = kLastPageOffset) {
  return pointer >= ArrayEnd(kLeafHeaderBytes, cells) && pointer <= lastPageOffset;
}

}  // namespace

bool ReadLeafPageCandidate(std::span<const std::uint8_t> buffer, std::size_t q,
                           std::vector<std::uint16_t>& pointers) {
  const auto header = ReadHeaderFields(buffer, q);
  if (!header || !HeaderFieldsPlausible(*header)) return false;
  const auto array = buffer.subspan(q + kLeafHeaderBytes);
  if (array.size() < header->cells * kCellPointerBytes) return false;
  if (header->cells == 1 && PointerAt(array, 0) != header->contentStart) return false;
  // Check every pointer before allocating anything.
  for (std::size_t j = 0; j < header->cells; ++j)
    if (!PointerInPage(PointerAt(array, j), header->cells)) return false;
  pointers.resize(header->cells);
  for (std::size_t j = 0; j < header->cells; ++j) pointers[j] = PointerAt(array, j);
  return true;
}

bool IsAbandonedPageCandidate(std::span<const std::uint8_t> buffer, std::size_t q) {
  if (q >= buffer.size()) return false;
  const std::uint8_t type = buffer[q];
  if (type != kTableInteriorPage && type != kIndexInteriorPage && type != kIndexLeafPage)
    return false;
  const auto header = ReadHeaderFields(buffer, q);
  if (!header || !HeaderFieldsPlausible(*header)) return false;
  const std::size_t headerBytes = PageHeaderLength(type);
  if (buffer.size() - q < headerBytes) return false;
  const auto array = buffer.subspan(q + headerBytes);
  if (array.size() < header->cells * kCellPointerBytes) return false;
  if (header->cells == 1 && PointerAt(array, 0) != header->contentStart) return false;
  for (std::size_t j = 0; j < header->cells; ++j)
    if (!PointerInPage(PointerAt(array, j), header->cells)) return false;
  return true;
}

bool ReadListedPagePointers(std::span<const std::uint8_t> page,
                            std::vector<std::uint16_t>& pointers, std::size_t pageBytes) {
  const auto header = ReadHeaderFields(page, 0);
  if (!header || header->cells > (pageBytes - kLeafHeaderBytes) / kCellPointerBytes) return false;
  const auto array = page.subspan(kLeafHeaderBytes);
  if (array.size() < header->cells * kCellPointerBytes) return false;
  pointers.resize(header->cells);
  for (std::size_t j = 0; j < header->cells; ++j) {
    pointers[j] = PointerAt(array, j);
    if (!PointerInPage(pointers[j], header->cells, pageBytes - 1)) return false;
  }
  return true;
}

}  // namespace orv
