#pragma once
// The main window's side of the connection and survey worker: the connection
// state lv2, the phone information lv3, the storage tree tv2, the folder tree
// tv1, and the storage list lv1 and output box mmo1 of TForm2. Every call
// comes from the worker's thread and is carried out on the UI thread, the
// worker waiting until it is done; gauge and status go through the main
// window's progress view.

#include <vector>

#include "device/connect_view.h"

class QTreeWidget;

namespace orv {

class TForm1;
class TForm2;

// Item data roles the phone views keep beside their captions.
inline constexpr int kImageRole = 0x0100 + 1;    // Qt::UserRole + 1: the picture's index
inline constexpr int kEntryRole = 0x0100;        // Qt::UserRole: a tree node's entry index
inline constexpr int kCaptionRole = 0x0100 + 2;  // an lv3 item's caption as built (CR LF first)

class MainWindowConnectView : public ConnectView {
 public:
  MainWindowConnectView(TForm1& form, TForm2& form2, ProgressView& progress)
      : form_(form), form2_(form2), progress_(progress) {}

  void addLogLine(const LogLine& line) override { progress_.addLogLine(line); }
  void setGaugeRange(std::int64_t maximum) override { progress_.setGaugeRange(maximum); }
  void setGaugePosition(std::int64_t position) override { progress_.setGaugePosition(position); }
  void setStatus(int panel, const std::string& text) override { progress_.setStatus(panel, text); }
  void setConnectionState(std::string_view caption, int image) override;
  void addInfoItem(std::string_view caption, int image) override;
  void resetFileTree() override;
  void showCommandOutput(std::string_view output) override;
  void setStorageModel(const StorageModel& model) override;
  void showStorageTree(const std::vector<StorageTreeNode>& nodes) override;
  void setConnectButtonEnabled(bool enabled) override;
  void setSwitchButtonEnabled(bool enabled) override;
  void showMessage(std::string_view text) override;

 private:
  TForm1& form_;
  TForm2& form2_;
  ProgressView& progress_;
};

// Builds the tree items of `nodes` in `tree` (emptied first), expanded, each
// with its picture (il2) and its entry index as item data.
void FillStorageTree(QTreeWidget* tree, const std::vector<StorageTreeNode>& nodes);

}  // namespace orv
