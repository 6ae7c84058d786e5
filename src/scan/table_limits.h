#pragma once
// The numbers the engine takes from the layouts of the phone's tables (the
// call log, the messages table and the contacts data table of Android 2.3 to
// 6.0), each with where it comes from.

#include <cstddef>
#include <cstdint>

namespace orv {

// A page is accepted in the discovery pass only when all its records have one
// column count above this: each of the three tables has more columns, while
// the small tables beside them (and much garbage) have fewer.
inline constexpr std::size_t kMaxRejectedColumnCount = 5;

// The column counts a table's records may have to be recognised as that
// table's (strictly between `above` and `below`): the counts the table has had
// on the Android releases the engine knows, with room for vendors' extra
// columns. The lower bounds keep the three tables apart from each other.
struct ColumnCountWindow {
  std::size_t above;
  std::size_t below;
  constexpr bool contains(std::size_t count) const { return count > above && count < below; }
};
inline constexpr ColumnCountWindow kCallColumns{8, 40};
// data holds data1 to data15 besides its keys.
inline constexpr ColumnCountWindow kDataColumns{14, 40};
inline constexpr ColumnCountWindow kSmsColumns{13, 40};

// mimetype_id of a contacts data row: a row of the mimetypes table, which
// Android's contacts provider fills with about a dozen kinds; a number above
// this is not a mimetype.
inline constexpr std::int64_t kMaxMimetypeId = 20;

}  // namespace orv
