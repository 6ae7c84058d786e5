#pragma once
// Message boxes asked for by workers: shown on the UI thread, the worker
// waiting until the user has closed them.

#include <QObject>

#include "app/desktop.h"
#include "results/result_views.h"

namespace orv {

MessageBoxRequest ToRequest(const UserMessage& message);

class GuiMessageView : public MessageView {
 public:
  // `context` lives on the UI thread and outlives every worker using this.
  explicit GuiMessageView(QObject* context) : context_(context) {}
  void showMessage(const UserMessage& message) override;

 private:
  QObject* context_;
};

}  // namespace orv
