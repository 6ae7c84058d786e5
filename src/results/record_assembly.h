#pragma once
// Record assembly: the raw rows of one kind become the entries of the normal
// and the deleted preview list, and the entries become numbered list rows.

#include <cstddef>
#include <vector>

#include "results/contact_runs.h"
#include "results/list_snapshot.h"
#include "results/preview_entries.h"
#include "results/preview_kind.h"

namespace orv {

// A call's name longer than this many GBK bytes is shown empty.
inline constexpr std::size_t kMaxShownNameLength = 30;

// Makes the entries of one kind from the rows of its raw table (Fuck1, Fuck2
// or Fuck3), handed in table order. Calls: type word, duration ("0" for a
// missing one), date, name, number. Messages: type word, date, text, number.
// Contacts: see ContactRuns.
class EntryAssembler {
 public:
  explicit EntryAssembler(PreviewKind kind) : kind_(kind) {}
  // False for a contacts row that the run an earlier row started took in.
  bool add(const RowView& row);
  // The entries of all rows added; called once, after the last row.
  PreviewEntries finish();

 private:
  PreviewKind kind_;
  PreviewEntries entries_;
  ContactRuns contacts_{entries_};
};

// The entries of `rows`. `progress` (may be empty) is told the raw rows as
// read, except the rows a contact run took in.
PreviewEntries AssembleEntries(PreviewKind kind, const std::vector<TableRow>& rows,
                               const RowProgress& progress = {});
// The entries of the kind's raw table, read from `tables` a batch of rows at
// a time.
PreviewEntries AssembleEntries(PreviewKind kind, const ResultTables& tables,
                               const RowProgress& progress = {});

// The list row of an entry: `number` as the "编号" caption, then the fields in
// the kind's column order (a message's number before its text; a call's
// over-long name empty).
ListRow PreviewRow(PreviewKind kind, std::size_t number, const ListEntry& entry);

// The rows of one list, in list order, numbered from 1.
std::vector<ListRow> PreviewRows(PreviewKind kind, const SortedEntryList& list);

struct PreviewLists {
  std::vector<PreviewColumn> columns;
  ListSnapshot normal;   // lv9
  ListSnapshot deleted;  // lv12
};

// Both lists of a kind from the current contents of `tables`.
PreviewLists BuildPreviewLists(PreviewKind kind, const ResultTables& tables);

}  // namespace orv
