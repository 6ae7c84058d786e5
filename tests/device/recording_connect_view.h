#pragma once
// A ConnectView that keeps everything the connection worker shows, in order.

#include <string>
#include <utility>
#include <vector>

#include "device/connect_view.h"

namespace orv::test {

class RecordingConnectView : public ConnectView {
 public:
  struct Item {
    std::string caption;
    int image;
    bool operator==(const Item&) const = default;
  };

  std::vector<std::string> logs;      // "type / description"
  std::vector<Item> states;           // lv2
  std::vector<Item> info;             // lv3, captions as built (CR LF first)
  std::vector<std::string> messages;  // message boxes
  std::vector<bool> btn1, btn8;       // every state set, in order
  std::vector<std::string> outputs;   // mmo1
  int fileTreeResets = 0;
  int storageModelsShown = 0;
  StorageModel model;
  std::vector<StorageTreeNode> tree;
  std::vector<std::string> statuses;  // "panel:text"

  void addLogLine(const LogLine& line) override {
    logs.push_back(line.type + " / " + line.description);
  }
  void setGaugeRange(std::int64_t) override {}
  void setGaugePosition(std::int64_t) override {}
  void setStatus(int panel, const std::string& text) override {
    statuses.push_back(std::to_string(panel) + ":" + text);
  }
  void setConnectionState(std::string_view caption, int image) override {
    states.push_back({std::string(caption), image});
  }
  void addInfoItem(std::string_view caption, int image) override {
    info.push_back({std::string(caption), image});
  }
  void resetFileTree() override { ++fileTreeResets; }
  void showCommandOutput(std::string_view output) override { outputs.emplace_back(output); }
  void setStorageModel(const StorageModel& shown) override {
    model = shown;
    ++storageModelsShown;
  }
  void showStorageTree(const std::vector<StorageTreeNode>& nodes) override { tree = nodes; }
  void setConnectButtonEnabled(bool enabled) override { btn1.push_back(enabled); }
  void setSwitchButtonEnabled(bool enabled) override { btn8.push_back(enabled); }
  void showMessage(std::string_view text) override { messages.emplace_back(text); }
};

}  // namespace orv::test
