#pragma once
// A view that records what a result worker told it, in order.

#include <string>
#include <vector>

#include "results/result_views.h"

namespace orv::testing {

class RecordingView : public PreviewView, public SaveView {
 public:
  void addLogLine(const LogLine& line) override {
    events.push_back("log " + line.type + " " + line.description);
  }
  void setGaugeRange(std::int64_t maximum) override { gaugeMaximum = maximum; }
  void setGaugePosition(std::int64_t position) override { gaugePosition = position; }
  void setStatus(int panel, const std::string& text) override {
    status[panel] = text;
    if (panel == 0) events.push_back("status " + text);
  }
  void showMessage(const UserMessage& message) override {
    messages.push_back(message);
    events.push_back("message " + message.text);
  }
  void setColumns(const std::vector<PreviewColumn>& given) override { columns = given; }
  void addRows(PreviewList list, std::vector<ListRow> rows) override {
    auto& target = list == PreviewList::kNormal ? normal : deleted;
    target.insert(target.end(), rows.begin(), rows.end());
    ++batches;
  }

  std::vector<std::string> events;  // log lines, status panel 0, messages
  std::vector<UserMessage> messages;
  std::string status[2];
  std::int64_t gaugeMaximum = -1;
  std::int64_t gaugePosition = -1;
  std::vector<PreviewColumn> columns;
  std::vector<ListRow> normal;
  std::vector<ListRow> deleted;
  int batches = 0;
};

}  // namespace orv::testing
