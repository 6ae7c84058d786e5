#include "app/main_window_views.h"

#include <utility>

#include "app/gauge.h"
#include "app/gui_messages.h"
#include "app/preview_model.h"
#include "app/qt_text.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "app/ui_thread.h"
#include "platform/progress_estimate.h"

namespace orv {

void MainWindowViews::addLogLine(const LogLine& line) {
  RunOnUiThread(&form_, [&] { form_.AddLogLine(line); });
}

void MainWindowViews::setGaugeRange(std::int64_t maximum) {
  RunOnUiThread(&form_, [&] {
    form_.g1->setRange64(maximum);
    stageTimer_.start();
    showPosition(0);
  });
}

void MainWindowViews::setGaugePosition(std::int64_t position) {
  pendingPosition_.store(position, std::memory_order_relaxed);
  if (positionPosted_.exchange(true)) return;
  PostToUiThread(&form_, [this] {
    positionPosted_.store(false);
    showPosition(pendingPosition_.load(std::memory_order_relaxed));
  });
}

void MainWindowViews::showPosition(std::int64_t position) {
  form_.g1->setPosition64(position);
  const double elapsed = static_cast<double>(stageTimer_.elapsed()) / 1000.0;
  form_.stat1->setProgressText(ToQt(ProgressText(position, form_.g1->maximum64(), elapsed)));
}

void MainWindowViews::setStatus(int panel, const std::string& text) {
  std::lock_guard lock(statusMutex_);
  pendingStatus_.at(static_cast<std::size_t>(panel)) = ToQt(text);
  if (std::exchange(statusPosted_, true)) return;
  PostToUiThread(&form_, [this] {
    std::array<std::optional<QString>, 2> texts;
    {
      std::lock_guard lock(statusMutex_);
      texts = std::exchange(pendingStatus_, {});
      statusPosted_ = false;
    }
    for (int panel = 0; panel < 2; ++panel) {
      if (texts[static_cast<std::size_t>(panel)]) {
        form_.stat1->setPanelText(panel, *texts[static_cast<std::size_t>(panel)]);
      }
    }
  });
}

void MainWindowViews::showMessage(const std::string& text) {
  showMessage(UserMessage{.text = text});
}

void MainWindowViews::showMessage(const UserMessage& message) {
  RunOnUiThread(&form_, [&] { ShowMessageBox(ToRequest(message)); });
}

void MainWindowViews::setScanButtonsEnabled(bool enabled) {
  RunOnUiThread(&form_, [&] { form_.setScanButtonsEnabled(enabled); });
}

void MainWindowViews::setColumns(const std::vector<PreviewColumn>& columns) {
  RunOnUiThread(&form_, [&] { form_.setPreviewColumns(columns); });
}

void MainWindowViews::addRows(PreviewList list, std::vector<ListRow> rows) {
  RunOnUiThread(&form_, [&] { form_.previewModel(list).appendRows(std::move(rows)); });
}

}  // namespace orv
