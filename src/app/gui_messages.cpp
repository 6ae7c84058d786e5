#include "app/gui_messages.h"

#include "app/qt_text.h"
#include "app/ui_thread.h"

namespace orv {

MessageBoxRequest ToRequest(const UserMessage& message) {
  MessageBoxRequest request;
  request.caption = ToQt(message.caption);
  request.text = ToQt(message.text);
  request.icon = message.icon == MessageIcon::kWarning ? BoxIcon::kWarning : BoxIcon::kInformation;
  request.buttons =
      message.buttons == MessageButtons::kYesNo ? BoxButtons::kYesNo : BoxButtons::kOk;
  return request;
}

void GuiMessageView::showMessage(const UserMessage& message) {
  RunOnUiThread(context_, [&] { ShowMessageBox(ToRequest(message)); });
}

}  // namespace orv
