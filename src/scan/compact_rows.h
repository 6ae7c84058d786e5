#pragma once
// The rows of one result table packed into a few large blocks of memory. A
// row is its cells one after another, each a length (7 bits per byte, low
// bits first, the top bit set on every byte but the last) followed by the
// cell's bytes; the table keeps one pointer per row. A row of a dozen short
// cells costs its text and about twenty bytes, where a string per cell costs
// over 600.
//
// Blocks never move, so a row's bytes stay where they are until the row is
// changed, removed or the rows are cleared or compacted. A changed row is
// written anew at the end and its old bytes become waste, which compact()
// reclaims. Sorting reorders the pointers only. Not thread-safe.

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class CompactRows {
 public:
  explicit CompactRows(std::size_t columns) : columns_(columns) {}

  std::size_t columns() const { return columns_; }
  std::size_t size() const { return rows_.size(); }

  // Appends a row of `cells`: missing cells are empty, cells past columns()
  // are dropped.
  void append(std::span<const std::string_view> cells);
  // Replaces the cells of row `index` (as append does); its old bytes become
  // waste.
  void replace(std::size_t index, std::span<const std::string_view> cells);

  // The cells of row `index`, out.size() (at most columns()) of them, into
  // `out`. The views stay
  // valid until the row is changed or removed, or the rows are cleared or
  // compacted.
  void read(std::size_t index, std::span<std::string_view> out) const;
  // Row `index` as stored: what Decode() reads. A copy of it may be decoded
  // after the row has changed.
  std::string_view encoded(std::size_t index) const;
  // The first out.size() cells of a row as stored (`encoded` holds at least
  // that many) into `out`.
  static void Decode(std::string_view encoded, std::span<std::string_view> out);

  // Puts the rows in the order of `order`, which lists every row index once.
  void reorder(std::span<const std::size_t> order);
  // Removes the rows whose flag in `removed` (one per row) is set, keeping the
  // order of the others. Returns how many were removed.
  std::size_t remove(const std::vector<bool>& removed);
  void clear();

  // Copies the rows into fresh blocks when waste outweighs them, so that
  // changes cost at most about twice the rows' own size.
  void compactIfWasteful();

  // Bytes held by the rows' blocks, waste and unused block ends included.
  std::size_t blockBytes() const { return blockBytes_; }
  std::size_t wasteBytes() const { return wasteBytes_; }

 private:
  // Room for `bytes` at the end of the last block; a new block when it lacks it.
  char* reserve(std::size_t bytes);
  void write(std::span<const std::string_view> cells, const char*& into);

  std::size_t columns_;
  std::vector<const char*> rows_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;        // next unused byte of the last block
  std::size_t freeBytes_ = 0;   // unused bytes at the end of the last block
  std::size_t nextBlock_ = 0;   // size of the next block to allocate
  std::size_t blockBytes_ = 0;  // all blocks
  std::size_t rowBytes_ = 0;    // bytes of the current rows
  std::size_t wasteBytes_ = 0;  // bytes of rows changed or removed
};

}  // namespace orv
