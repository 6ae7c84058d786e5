#pragma once
// Contacts from the rows of the contacts data table (Fuck1). Each row is one
// phone number (flag "Tel") or one name (flag "Name") of the raw contact in
// its [raw_contact_id] column; a contact is made from a run of adjacent rows
// of one raw contact.

#include <vector>

#include "results/preview_entries.h"

namespace orv {

// The most rows a run takes in after the row that starts it.
inline constexpr int kMaxRunFollowers = 7;

// Walks `rows` in order and adds one entry (name, 电话号码1, 电话号码2) per
// preview row to `out`: to the deleted list when the run's first row has the
// id "-1". `progress` (may be empty) is told each row that starts a run.
void AssembleContacts(const std::vector<TableRow>& rows, PreviewEntries& out,
                      const RowProgress& progress);

}  // namespace orv
