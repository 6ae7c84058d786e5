#pragma once
// The connection and survey worker: checks that adb sees one usable phone and
// that the phone grants root, reads its identity, processor and memory,
// builds the storage model from the partition table, the space report and
// the mount table, and the storage tree from the model. Every command, every
// finding and every failure goes to the activity log; nothing on the phone is
// changed.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "device/adb_commands.h"
#include "device/connect_view.h"
#include "device/storage_entry.h"
#include "device/storage_tree.h"

namespace orv {

// How a run ended.
enum class SurveyOutcome {
  kCompleted,     // the tree is shown and btn8 enabled
  kNotConnected,  // no usable phone (or adb said "denied")
  kRootRefused,   // su refused, missing, or did not answer
  kStepFailed,    // a survey command printed nothing usable
};

struct ConnectSettings {
  std::string serial;  // the device to use when several are attached; empty: the only one
  // How long the first su may take: the phone may be asking its user to grant.
  std::chrono::milliseconds rootCheckLimit = kFirstSuLimit;
};

class Tconnect {
 public:
  // `view` must outlive the worker. The wireless-link flag is read when a
  // failure would run `adb kill-server`.
  Tconnect(ConnectSettings settings, ConnectView& view);

  // Runs the whole connection, root check and survey on the calling thread
  // (the worker's thread). btn1 and btn8 are disabled at the start; btn1 is
  // enabled on every way out, btn8 only when the survey completed.
  SurveyOutcome run();

  // What the run found (complete only after kCompleted).
  const StorageModel& storageModel() const { return model_; }
  const std::vector<StorageTreeNode>& treeNodes() const { return tree_; }
  // The activity-log text of every command run, in order.
  const std::vector<std::string>& commandsRun() const { return commands_; }

 private:
  class MatchSink;

  SurveyOutcome connect();
  SurveyOutcome checkRoot();
  SurveyOutcome survey();
  bool readIdentity();
  bool readHardware();
  SurveyOutcome readStorage();
  void buildTree();

  CommandResult run(const AdbCommand& command);
  // The output of a survey command, or empty when it failed or printed only blanks.
  std::string surveyOutput(const AdbCommand& command);
  void log(std::string_view type, std::string_view description);
  void info(std::string_view caption, int image);
  void status(std::string_view stage, std::string_view activity);
  // Ends a failed stage from the root check on: kill-server unless the
  // wireless link is up, btn1 back.
  SurveyOutcome abort(SurveyOutcome outcome);

  ConnectSettings settings_;
  ConnectView& view_;
  std::string rootCaption_;
  StorageModel model_;
  std::vector<StorageTreeNode> tree_;
  std::vector<std::string> commands_;
};

}  // namespace orv
