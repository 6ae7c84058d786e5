#pragma once
// Contacts from the rows of the contacts data table (Fuck1). Each row is one
// phone number (flag "Tel") or one name (flag "Name") of the raw contact in
// its [raw_contact_id] column; a contact is made from a run of adjacent rows
// of one raw contact.

#include <string>
#include <vector>

#include "results/preview_entries.h"

namespace orv {

// The most rows a run takes in after the row that starts it.
inline constexpr int kMaxRunFollowers = 7;

// Takes the rows one at a time, in table order, and adds one entry (name,
// 电话号码1, 电话号码2) per preview row to `out`: to the deleted list when
// the run's first row has the id "-1". Only the run in progress is held.
class ContactRuns {
 public:
  explicit ContactRuns(PreviewEntries& out) : out_(out) {}
  // True when the row was looked at as the start of a run, false when the
  // run in progress took it in.
  bool add(const RowView& row);
  // Ends the run in progress; called after the last row.
  void finish();

 private:
  // Starts a run at `row` when its flag and mark let it.
  void start(const RowView& row);
  void endRun();

  PreviewEntries& out_;
  bool running_ = false;
  // The run's first row: its flag, raw contact, id and Data1.
  std::string flag_;
  std::string rawContact_;
  std::string id_;
  std::string data1_;
  SortedEntryList members_;
  int followers_ = 0;
};

// ContactRuns over `rows`. `progress` (may be empty) is told each row that
// is looked at as the start of a run.
void AssembleContacts(const std::vector<TableRow>& rows, PreviewEntries& out,
                      const RowProgress& progress);

}  // namespace orv
