#pragma once
// The owner's own card. The contacts provider keeps it in a database of its
// own (profile.db) with the same tables as the contacts database; to keep
// its rows apart, every id of that database (raw contacts, data) counts up
// from a base far above any contacts database's ids. A raw image holds no
// file names, so that base is what tells the owner's rows from contacts.

#include <cstddef>
#include <cstdint>
#include <string>

#include "scan/result_tables.h"

namespace orv {

// The first id of the profile database's tables: the largest 64-bit integer
// less the largest 32-bit one.
inline constexpr std::int64_t kProfileIdBase = INT64_MAX - INT32_MAX;

// Whether a contacts-data row (Fuck1) is the owner's: its id or its raw
// contact's id lies at or above the profile base.
bool IsOwnerRow(const RowView& row);

// Marks the live contacts-data rows of the owner with fuck1::kOwnerMark in
// their [DEL] column, so they are kept in the table but make no contact.
// Deleted rows keep their "DEL". Returns how many were marked.
std::size_t MarkOwnerRows(ResultTables& tables);

// The activity-log text naming how many of the owner's rows were found.
std::string OwnerRowsText(std::size_t rows);

}  // namespace orv
