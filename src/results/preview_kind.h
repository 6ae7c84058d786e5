#pragma once
// The three kinds of preview and the columns of their lists.

#include <string>
#include <string_view>
#include <vector>

#include "results/list_order.h"
#include "scan/result_tables.h"

namespace orv {

// The numbers are the kinds the results page's radio buttons choose.
enum class PreviewKind { kContacts = 0, kCalls = 1, kMessages = 2 };

// The two preview lists: records from live space ("正常", lv9) and deleted
// records ("删除", lv12).
enum class PreviewList { kNormal, kDeleted };

struct PreviewColumn {
  std::string caption;
  int width = 0;                           // pixels; the least the list shows
  ColumnOrder order = ColumnOrder::kText;  // how a click on its header sorts it
};

// The columns of both preview lists of a kind, "编号" first.
const std::vector<PreviewColumn>& PreviewColumns(PreviewKind kind);

// The raw result table a kind is assembled from: Fuck1, Fuck2 or Fuck3.
ResultTable RawTableOf(PreviewKind kind);

// The words shown for a call's Type and a message's SMSType value.
std::string CallTypeWord(std::string_view raw);
std::string MessageTypeWord(std::string_view raw);

}  // namespace orv
