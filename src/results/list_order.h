#pragma once
// The order of the preview lists: the case-insensitive order of the Chinese
// Windows code page. Texts compare as their GBK (GB18030) bytes with ASCII
// letters folded, which puts common Chinese characters in pinyin order;
// texts equal under that comparison are the same entry.

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The bytes under which `utf8` sorts: its GB18030 form with the single-byte
// ASCII letters lower-cased (the trail bytes of double-byte characters are left
// alone, so distinct characters never merge). Invalid UTF-8 keeps its bytes.
std::string ListOrderKey(std::string_view utf8);

// <0, 0 or >0 as `a` sorts before, with or after `b`.
int CompareListText(std::string_view a, std::string_view b);

// How a list column compares its cells.
enum class ColumnOrder {
  kText,      // as ListOrderKey
  kNumber,    // whole numbers by value ("27" before "1003")
  kDateTime,  // "yyyy-M-d h:m:s" dates by time, fields with or without zeros
};

// The bytes under which `cell` sorts in a column of `order`: cells that read
// as the column's kind come first, in the kind's order; any other cell
// follows them, in text order.
std::string ColumnOrderKey(std::string_view cell, ColumnOrder order);

// An entry of a list: its fields, in the order they were joined for sorting.
using ListEntry = std::vector<std::string>;

// Entries kept sorted by their fields joined with the backtick, an entry equal
// to one already present being ignored (the first one stays). Not thread-safe.
class SortedEntryList {
 public:
  // True when the entry was added, false when an equal one is present.
  bool add(ListEntry fields);
  std::size_t size() const { return byKey_.size(); }
  bool empty() const { return byKey_.empty(); }
  // The entries in list order.
  std::vector<ListEntry> entries() const;
  // Hands each entry to `visit` in list order, without a copy of the list.
  void forEach(const std::function<void(const ListEntry&)>& visit) const;

 private:
  std::map<std::string, ListEntry> byKey_;
};

}  // namespace orv
