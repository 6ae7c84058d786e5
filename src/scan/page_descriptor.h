#pragma once
// A small note, kept through the discovery pass, of a table leaf page the
// fixed layouts left unrecognised: where it lies, the column counts of its
// records and which kinds of value each of its first columns held. Once the
// layouts of the image are known, the note tells which layouts the page could
// fit, so that only those pages are read again.

#include <cstddef>
#include <cstdint>

#include "scan/page_records.h"
#include "scan/table_layout.h"

namespace orv {

// Value kinds of a stored column, as bits of a column's shape.
namespace value_kind {
inline constexpr std::uint8_t kNull = 1, kInteger = 2, kText = 4, kBlob = 8;
}

// The value kind of a record label (see DecodedRecord).
std::uint8_t ValueKindOfLabel(char label);

struct PageDescriptor {
  static constexpr std::size_t kShapeColumns = 40;

  std::uint64_t offset = 0;
  std::uint16_t minColumns = 0;  // of the page's records
  std::uint16_t maxColumns = 0;
  // Four bits per column (the value kinds seen in it on the page), columns
  // 0 .. kShapeColumns - 1.
  std::uint8_t shape[kShapeColumns / 2] = {};

  std::uint8_t kindsOf(std::size_t column) const {
    return static_cast<std::uint8_t>((shape[column / 2] >> (column % 2 * 4)) & 0x0F);
  }
};
static_assert(sizeof(PageDescriptor) <= 32, "a descriptor costs at most 32 bytes");

// The descriptor of a page at image `offset` whose live records are `page`
// (at least one).
PageDescriptor DescribePage(std::uint64_t offset, const PageRecords& page);

// Whether the page could fit `layout`: their column counts overlap, and each
// described column the layout types held a value kind the column accepts.
bool MayFit(const PageDescriptor& page, const TableLayout& layout);

// Whether a stored value of `label` suits a column of `affinity` as SQLite
// stores them from the providers' values: an INTEGER or REAL column holds
// integers (a REAL one stores whole numbers as integers) or NULL; a TEXT
// column text, NULL or BLOBs; a NUMERIC column anything but BLOBs; a column
// without a type anything. SQLite would keep a text that is no number in an
// INTEGER column, but the providers never write one, and refusing it keeps
// other tables' pages apart.
bool LabelSuits(char label, Affinity affinity);

}  // namespace orv
