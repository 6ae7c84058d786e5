#pragma once
// The comma-separated lines in which preview lists are saved.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/list_snapshot.h"
#include "results/preview_entries.h"
#include "results/preview_kind.h"

namespace orv {

// A message text made fit for one CSV field: every "," becomes the full-width
// "，", every CR and LF is removed. No other quoting is done.
std::string CleanMessageText(std::string_view text);

// The line of one row: the caption and then every sub-item up to
// `columnCount` cells, each followed by "," (so a line ends with a comma).
// For messages the text column ("短信内容") is cleaned; nothing else is.
std::string ResultCsvLine(const ListRow& row, std::size_t columnCount, PreviewKind kind);

// One line per row, in order, without a header: the caption and then every
// sub-item, each followed by "," (so a line ends with a comma). For messages
// the text column ("短信内容") is cleaned; nothing else is. Empty when a row
// lacks a cell for one of the list's columns. `progress` (may be empty) is
// told each row index.
std::optional<std::vector<std::string>> ResultCsvLines(const ListSnapshot& list, PreviewKind kind,
                                                       const RowProgress& progress = {});

}  // namespace orv
