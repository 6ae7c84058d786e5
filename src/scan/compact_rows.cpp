#include "scan/compact_rows.h"

#include <algorithm>
#include <cstring>

namespace orv {
namespace {

// Blocks start small, so that a table of a few rows costs little, and grow to
// this size.
constexpr std::size_t kFirstBlockBytes = 4096;
constexpr std::size_t kLargestBlockBytes = std::size_t{1} << 20;

std::size_t LengthBytes(std::size_t length) {
  std::size_t bytes = 1;
  while (length >= 0x80) {
    length >>= 7;
    ++bytes;
  }
  return bytes;
}

char* PutLength(std::size_t length, char* out) {
  while (length >= 0x80) {
    *out++ = static_cast<char>((length & 0x7F) | 0x80);
    length >>= 7;
  }
  *out++ = static_cast<char>(length);
  return out;
}

const char* GetLength(const char* in, std::size_t& length) {
  length = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*in++);
    length |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return in;
  }
}

// The byte after the last cell of the row that starts at `row`.
const char* RowEnd(const char* row, std::size_t columns) {
  for (std::size_t c = 0; c < columns; ++c) {
    std::size_t length;
    row = GetLength(row, length) + length;
  }
  return row;
}

void DecodeCells(const char* at, std::span<std::string_view> out) {
  for (std::string_view& cell : out) {
    std::size_t length;
    at = GetLength(at, length);
    cell = {at, length};
    at += length;
  }
}

}  // namespace

char* CompactRows::reserve(std::size_t bytes) {
  if (bytes > freeBytes_) {
    nextBlock_ = std::clamp(nextBlock_ * 2, kFirstBlockBytes, kLargestBlockBytes);
    const std::size_t size = std::max(nextBlock_, bytes);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
    free_ = blocks_.back().get();
    freeBytes_ = size;
    blockBytes_ += size;
  }
  char* at = free_;
  free_ += bytes;
  freeBytes_ -= bytes;
  return at;
}

void CompactRows::write(std::span<const std::string_view> cells, const char*& into) {
  const std::size_t given = std::min(cells.size(), columns_);
  std::size_t bytes = columns_ - given;  // a missing cell is one zero length
  for (std::size_t c = 0; c < given; ++c) bytes += LengthBytes(cells[c].size()) + cells[c].size();
  char* out = reserve(bytes);
  into = out;
  for (std::size_t c = 0; c < columns_; ++c) {
    const std::string_view cell = c < given ? cells[c] : std::string_view();
    out = PutLength(cell.size(), out);
    if (!cell.empty()) std::memcpy(out, cell.data(), cell.size());
    out += cell.size();
  }
  rowBytes_ += bytes;
}

void CompactRows::append(std::span<const std::string_view> cells) {
  const char* row = nullptr;
  write(cells, row);
  rows_.push_back(row);
}

void CompactRows::replace(std::size_t index, std::span<const std::string_view> cells) {
  const std::size_t old = encoded(index).size();
  rowBytes_ -= old;
  wasteBytes_ += old;
  write(cells, rows_[index]);
}

void CompactRows::read(std::size_t index, std::span<std::string_view> out) const {
  DecodeCells(rows_[index], out);
}

std::string_view CompactRows::encoded(std::size_t index) const {
  const char* row = rows_[index];
  return {row, static_cast<std::size_t>(RowEnd(row, columns_) - row)};
}

void CompactRows::Decode(std::string_view encoded, std::span<std::string_view> out) {
  DecodeCells(encoded.data(), out);
}

void CompactRows::reorder(std::span<const std::size_t> order) {
  std::vector<const char*> rows;
  rows.reserve(rows_.size());
  for (const std::size_t index : order) rows.push_back(rows_[index]);
  rows_ = std::move(rows);
}

std::size_t CompactRows::remove(const std::vector<bool>& removed) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (i < removed.size() && removed[i]) {
      const std::size_t bytes = encoded(i).size();
      rowBytes_ -= bytes;
      wasteBytes_ += bytes;
    } else {
      rows_[kept++] = rows_[i];
    }
  }
  const std::size_t count = rows_.size() - kept;
  rows_.resize(kept);
  return count;
}

void CompactRows::clear() {
  rows_.clear();
  rows_.shrink_to_fit();
  blocks_.clear();
  blocks_.shrink_to_fit();
  free_ = nullptr;
  freeBytes_ = nextBlock_ = blockBytes_ = rowBytes_ = wasteBytes_ = 0;
}

void CompactRows::compactIfWasteful() {
  if (wasteBytes_ <= rowBytes_ || wasteBytes_ < kLargestBlockBytes) return;
  CompactRows fresh(columns_);
  fresh.rows_.reserve(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const std::string_view row = encoded(i);
    char* at = fresh.reserve(row.size());
    std::memcpy(at, row.data(), row.size());
    fresh.rows_.push_back(at);
    fresh.rowBytes_ += row.size();
  }
  *this = std::move(fresh);
}

}  // namespace orv
