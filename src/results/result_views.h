#pragma once
// What the result workers (preview, saving, list export) report to whoever
// shows them: the main window, the command-line scanner or a test. Called on
// the worker's thread; an implementation that owns widgets runs each call on
// its UI thread and returns when it has run.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/log_line.h"
#include "platform/progress_view.h"
#include "results/list_snapshot.h"
#include "results/preview_kind.h"

namespace orv {

enum class MessageIcon { kInformation, kWarning };
enum class MessageButtons { kOk, kYesNo };  // the answer to Yes/No is not used

// A message box: text, caption, icon and buttons.
struct UserMessage {
  std::string text;
  std::string caption = "提示";
  MessageIcon icon = MessageIcon::kInformation;
  MessageButtons buttons = MessageButtons::kOk;

  bool operator==(const UserMessage&) const = default;
};

class MessageView {
 public:
  virtual ~MessageView() = default;
  // Returns when the user has closed the box.
  virtual void showMessage(const UserMessage& message) = 0;
};

// The preview lists lv9 and lv12, which the starter has emptied.
class PreviewView : public ProgressView {
 public:
  // The same columns for both lists, "编号" first.
  virtual void setColumns(const std::vector<PreviewColumn>& columns) = 0;
  // Appends rows (cell 0 the "编号" caption, then one cell per further column)
  // to one list; rows come in order, a batch at a time.
  virtual void addRows(PreviewList list, std::vector<ListRow> rows) = 0;
};

class SaveView : public ProgressView, public MessageView {};

// Whether a worker walking `count` items reports item `index`: enough for a
// gauge, without a round trip to the UI thread per item.
inline bool IsProgressStep(std::size_t index, std::size_t count) {
  return index % 256 == 0 || index + 1 == count;
}

// The gauge maximum for `count` items: count - 1, at least 0.
inline std::int64_t GaugeMaximum(std::size_t count) {
  return count == 0 ? 0 : static_cast<std::int64_t>(count) - 1;
}

}  // namespace orv
