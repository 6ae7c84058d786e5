#pragma once
// The preview worker: assembles the raw rows of one kind into contacts, calls
// or messages and fills the normal and the deleted preview list.

#include <optional>
#include <string_view>

#include "results/preview_kind.h"
#include "results/result_views.h"
#include "scan/result_tables.h"

namespace orv {

inline constexpr std::string_view kNoPreviewKindText =
    "天哪，您好像什么都没有选就来点我了，请选中[预览通讯录]、[预览通话记录]、[预览短信]"
    "中的至少一项.";
inline constexpr std::string_view kNothingFoundText = "杯具了,没有发现相关内容!";

// The starter's checks before a preview: the message to show instead of
// starting the worker, or nothing when it may start. `kind` is the kind the
// radio buttons chose, empty when none is chosen.
std::optional<UserMessage> PreviewRefusal(std::optional<PreviewKind> kind,
                                          const ResultTables& tables);

class TYuLan {
 public:
  // `tables` and `view` must outlive the worker.
  TYuLan(PreviewKind kind, const ResultTables& tables, PreviewView& view);

  // Runs the whole preview on the calling thread (the worker's thread): the
  // columns, then the rows of the normal list, then those of the deleted list,
  // with log lines, gauge and status around them. Reads the raw table once.
  void run();

 private:
  void showList(PreviewList list, std::vector<ListRow> rows);

  PreviewKind kind_;
  const ResultTables& tables_;
  PreviewView& view_;
};

}  // namespace orv
