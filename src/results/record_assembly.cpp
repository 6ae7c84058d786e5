#include "results/record_assembly.h"

#include "platform/text_codec.h"

namespace orv {
namespace {

void AddCall(const RowView& row, PreviewEntries& out) {
  if (IsOldVersionMark(row[fuck2::kDel])) return;  // its newer one is listed
  const std::string_view duration = row[fuck2::kDuration];
  out.listFor(row[fuck2::kId])
      .add({CallTypeWord(row[fuck2::kType]), std::string(duration == "NoUser" ? "0" : duration),
            std::string(row[fuck2::kData]), std::string(row[fuck2::kName]),
            std::string(row[fuck2::kTel1])});
}

void AddMessage(const RowView& row, PreviewEntries& out) {
  if (IsOldVersionMark(row[fuck3::kDel])) return;  // its newer one is listed
  out.listFor(row[fuck3::kId])
      .add({MessageTypeWord(row[fuck3::kSmsType]), std::string(row[fuck3::kData]),
            std::string(row[fuck3::kBody]), std::string(row[fuck3::kTel1])});
}

// Where each display column takes its text from the entry's fields.
const std::vector<std::size_t>& DisplayOrder(PreviewKind kind) {
  static const std::vector<std::size_t> kContacts = {0, 1, 2};
  static const std::vector<std::size_t> kCalls = {0, 1, 2, 3, 4};
  static const std::vector<std::size_t> kMessages = {0, 1, 3, 2};
  switch (kind) {
    case PreviewKind::kContacts:
      return kContacts;
    case PreviewKind::kCalls:
      return kCalls;
    case PreviewKind::kMessages:
      return kMessages;
  }
  return kContacts;
}

constexpr std::size_t kCallNameField = 3;

}  // namespace

bool EntryAssembler::add(const RowView& row) {
  switch (kind_) {
    case PreviewKind::kContacts:
      return contacts_.add(row);
    case PreviewKind::kCalls:
      AddCall(row, entries_);
      break;
    case PreviewKind::kMessages:
      AddMessage(row, entries_);
      break;
  }
  return true;
}

PreviewEntries EntryAssembler::finish() {
  contacts_.finish();
  return std::move(entries_);
}

PreviewEntries AssembleEntries(PreviewKind kind, const std::vector<TableRow>& rows,
                               const RowProgress& progress) {
  EntryAssembler assembler(kind);
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (assembler.add(rows[i]) && progress) progress(i);
  return assembler.finish();
}

PreviewEntries AssembleEntries(PreviewKind kind, const ResultTables& tables,
                               const RowProgress& progress) {
  EntryAssembler assembler(kind);
  std::size_t index = 0;
  // A table changed meanwhile gives the entries of the rows read before.
  tables.forEachRow(RawTableOf(kind), [&](const RowView& row) {
    if (assembler.add(row) && progress) progress(index);
    ++index;
    return true;
  });
  return assembler.finish();
}

ListRow PreviewRow(PreviewKind kind, std::size_t number, const ListEntry& entry) {
  ListRow row{std::to_string(number)};
  for (std::size_t field : DisplayOrder(kind)) {
    const std::string& text = CellOf(entry, field);
    const bool hidden = kind == PreviewKind::kCalls && field == kCallNameField &&
                        AnsiLength(text) > kMaxShownNameLength;
    row.push_back(hidden ? std::string() : text);
  }
  return row;
}

std::vector<ListRow> PreviewRows(PreviewKind kind, const SortedEntryList& list) {
  std::vector<ListRow> rows;
  rows.reserve(list.size());
  list.forEach(
      [&](const ListEntry& entry) { rows.push_back(PreviewRow(kind, rows.size() + 1, entry)); });
  return rows;
}

PreviewLists BuildPreviewLists(PreviewKind kind, const ResultTables& tables) {
  const PreviewEntries entries = AssembleEntries(kind, tables);
  const std::vector<PreviewColumn>& columns = PreviewColumns(kind);
  return {columns,
          {columns.size(), PreviewRows(kind, entries.normal)},
          {columns.size(), PreviewRows(kind, entries.deleted)}};
}

}  // namespace orv
