#include "results/record_assembly.h"

#include "platform/text_codec.h"
#include "results/contact_runs.h"

namespace orv {
namespace {

void AssembleCalls(const std::vector<TableRow>& rows, PreviewEntries& out,
                   const RowProgress& progress) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (progress) progress(i);
    const TableRow& row = rows[i];
    if (IsOldVersionMark(CellOf(row, fuck2::kDel))) continue;  // its newer one is listed
    const std::string& duration = CellOf(row, fuck2::kDuration);
    out.listFor(CellOf(row, fuck2::kId))
        .add({CallTypeWord(CellOf(row, fuck2::kType)), duration == "NoUser" ? "0" : duration,
              CellOf(row, fuck2::kData), CellOf(row, fuck2::kName), CellOf(row, fuck2::kTel1)});
  }
}

void AssembleMessages(const std::vector<TableRow>& rows, PreviewEntries& out,
                      const RowProgress& progress) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (progress) progress(i);
    const TableRow& row = rows[i];
    if (IsOldVersionMark(CellOf(row, fuck3::kDel))) continue;  // its newer one is listed
    out.listFor(CellOf(row, fuck3::kId))
        .add({MessageTypeWord(CellOf(row, fuck3::kSmsType)), CellOf(row, fuck3::kData),
              CellOf(row, fuck3::kBody), CellOf(row, fuck3::kTel1)});
  }
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

PreviewEntries AssembleEntries(PreviewKind kind, const std::vector<TableRow>& rows,
                               const RowProgress& progress) {
  PreviewEntries entries;
  switch (kind) {
    case PreviewKind::kContacts:
      AssembleContacts(rows, entries, progress);
      break;
    case PreviewKind::kCalls:
      AssembleCalls(rows, entries, progress);
      break;
    case PreviewKind::kMessages:
      AssembleMessages(rows, entries, progress);
      break;
  }
  return entries;
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
  for (const ListEntry& entry : list.entries())
    rows.push_back(PreviewRow(kind, rows.size() + 1, entry));
  return rows;
}

PreviewLists BuildPreviewLists(PreviewKind kind, const ResultTables& tables) {
  const PreviewEntries entries = AssembleEntries(kind, tables.rows(RawTableOf(kind)));
  const std::vector<PreviewColumn>& columns = PreviewColumns(kind);
  return {columns,
          {columns.size(), PreviewRows(kind, entries.normal)},
          {columns.size(), PreviewRows(kind, entries.deleted)}};
}

}  // namespace orv
