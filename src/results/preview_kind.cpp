#include "results/preview_kind.h"

namespace orv {

const std::vector<PreviewColumn>& PreviewColumns(PreviewKind kind) {
  constexpr auto kNumber = ColumnOrder::kNumber;
  constexpr auto kDate = ColumnOrder::kDateTime;
  static const std::vector<PreviewColumn> kContacts = {
      {"编号", 50, kNumber}, {"姓名", 150}, {"电话号码1", 150}, {"电话号码2", 150}};
  static const std::vector<PreviewColumn> kCalls = {
      {"编号", 50, kNumber}, {"接听/拨出", 80}, {"通话时长", 80, kNumber},
      {"日期", 100, kDate},  {"姓名", 80},      {"电话号码", 100}};
  static const std::vector<PreviewColumn> kMessages = {{"编号", 50, kNumber},
                                                       {"发送/接收", 80},
                                                       {"日期", 100, kDate},
                                                       {"电话号码", 80},
                                                       {"短信内容", 300}};
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

ResultTable RawTableOf(PreviewKind kind) {
  switch (kind) {
    case PreviewKind::kContacts:
      return ResultTable::kFuck1;
    case PreviewKind::kCalls:
      return ResultTable::kFuck2;
    case PreviewKind::kMessages:
      return ResultTable::kFuck3;
  }
  return ResultTable::kFuck1;
}

// A missing value ("NoUser") reads as type 1.
std::string CallTypeWord(std::string_view raw) {
  if (raw == "1" || raw == "NoUser") return "接听";
  if (raw == "2") return "拨出";
  if (raw == "3") return "未接";
  return "未知";
}

std::string MessageTypeWord(std::string_view raw) {
  if (raw == "1" || raw == "NoUser") return "接收";
  if (raw == "2") return "发送";
  if (raw == "3") return "草稿";
  return "未知";
}

}  // namespace orv
