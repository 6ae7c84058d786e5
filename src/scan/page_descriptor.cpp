#include "scan/page_descriptor.h"

#include <algorithm>
#include <limits>

namespace orv {

std::uint8_t ValueKindOfLabel(char label) {
  switch (label) {
    case '0':
      return value_kind::kNull;
    case 'T':
      return value_kind::kText;
    case 'B':
      return value_kind::kBlob;
    default:
      return value_kind::kInteger;  // '1'..'7' and the constants '8'
  }
}

bool LabelSuits(char label, Affinity affinity) {
  const std::uint8_t kind = ValueKindOfLabel(label);
  switch (affinity) {
    case Affinity::kText:
      return kind != value_kind::kInteger;
    case Affinity::kInteger:
    case Affinity::kReal:
      return kind == value_kind::kInteger || kind == value_kind::kNull;
    case Affinity::kNumeric:
      return kind != value_kind::kBlob;
    case Affinity::kBlob:
      return true;
  }
  return true;
}

PageDescriptor DescribePage(std::uint64_t offset, const PageRecords& page) {
  PageDescriptor out;
  out.offset = offset;
  out.minColumns = std::numeric_limits<std::uint16_t>::max();
  for (const LiveRecord& live : page.records) {
    const std::string& labels = live.record.labels;
    const auto count = static_cast<std::uint16_t>(
        std::min<std::size_t>(labels.size(), std::numeric_limits<std::uint16_t>::max()));
    out.minColumns = std::min(out.minColumns, count);
    out.maxColumns = std::max(out.maxColumns, count);
    for (std::size_t c = 0; c < std::min(labels.size(), PageDescriptor::kShapeColumns); ++c)
      out.shape[c / 2] |= static_cast<std::uint8_t>(ValueKindOfLabel(labels[c]) << (c % 2 * 4));
  }
  if (page.records.empty()) out.minColumns = 0;
  return out;
}

bool MayFit(const PageDescriptor& page, const TableLayout& layout) {
  if (page.maxColumns < layout.minColumns || page.minColumns > layout.maxColumns) return false;
  const std::size_t described = std::min<std::size_t>(
      {layout.affinities.size(), PageDescriptor::kShapeColumns, page.maxColumns});
  for (std::size_t c = 0; c < described; ++c) {
    const std::uint8_t kinds = page.kindsOf(c);
    bool suits = false;
    for (const char label : {'0', '1', 'T', 'B'})
      if ((kinds & ValueKindOfLabel(label)) && LabelSuits(label, layout.affinities[c]))
        suits = true;
    if (c == layout.rowidColumn) suits = (kinds & value_kind::kNull) != 0;
    if (!suits) return false;
  }
  return true;
}

}  // namespace orv
