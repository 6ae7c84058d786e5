#include "results/list_order.h"

#include <cstdint>

#include "platform/text_codec.h"

namespace orv {
namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// GB18030 sequences: ASCII single bytes; a lead byte 0x81-0xFE followed by a
// trail byte 0x40-0xFE (two bytes) or by a digit (four bytes).
void FoldGb18030(std::string& gb) {
  std::size_t i = 0;
  while (i < gb.size()) {
    const auto lead = static_cast<std::uint8_t>(gb[i]);
    if (lead < 0x80) {
      gb[i] = Folded(gb[i]);
      ++i;
    } else if (i + 1 < gb.size() && gb[i + 1] >= '0' && gb[i + 1] <= '9') {
      i += 4;
    } else {
      i += 2;
    }
  }
}

std::string JoinFields(const ListEntry& fields) {
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) joined += '`';
    joined += fields[i];
  }
  return joined;
}

}  // namespace

std::string ListOrderKey(std::string_view utf8) {
  if (auto gb = Utf8ToGb18030(utf8)) {
    FoldGb18030(*gb);
    return std::move(*gb);
  }
  // Not UTF-8, so its character boundaries are unknown: fold every letter byte.
  std::string raw(utf8);
  for (char& c : raw) c = Folded(c);
  return raw;
}

int CompareListText(std::string_view a, std::string_view b) {
  return ListOrderKey(a).compare(ListOrderKey(b));
}

bool SortedEntryList::add(ListEntry fields) {
  return byKey_.try_emplace(ListOrderKey(JoinFields(fields)), std::move(fields)).second;
}

std::vector<ListEntry> SortedEntryList::entries() const {
  std::vector<ListEntry> out;
  out.reserve(byKey_.size());
  for (const auto& [key, fields] : byKey_) out.push_back(fields);
  return out;
}

}  // namespace orv
