#pragma once
// The program's dealings with the desktop that a test must be able to answer:
// message boxes, file dialogs and opening documents or web pages. The windows
// go through here only; a test replaces the handlers. Everything here runs on
// the UI thread.

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace orv {

enum class BoxIcon { kInformation, kWarning, kQuestion, kError };
enum class BoxButtons { kOk, kYesNo };
enum class BoxAnswer { kOk, kYes, kNo };

struct MessageBoxRequest {
  QWidget* owner = nullptr;  // none: application-modal
  QString caption;
  QString text;
  BoxIcon icon = BoxIcon::kInformation;
  BoxButtons buttons = BoxButtons::kOk;
};

// What a file dialog works on, as the windows keep it between runs: the file
// name it starts with and, after the run, the one chosen. A cancelled run
// leaves the name as it was, and its run answers false.
struct FileDialogRequest {
  QWidget* owner = nullptr;
  bool save = false;
  QString filter;       // "log|*.log" style: description, bar, pattern
  QString fileName;     // in: preset; out: chosen (unchanged when cancelled)
  bool folder = false;  // choose a folder (its path in fileName) rather than a file
};

struct Desktop {
  std::function<BoxAnswer(const MessageBoxRequest&)> messageBox;
  // True when the user chose a file, false when the dialog was cancelled.
  std::function<bool(FileDialogRequest&)> fileDialog;
  // Opens a web page or a document with the desktop's program for it; false
  // when the desktop has no program for it or could not start it.
  std::function<bool(const QUrl&)> openUrl;
};

// The handlers in use; at start the real dialogs and the desktop services.
Desktop& CurrentDesktop();

// Shorthands through the current handlers.
BoxAnswer ShowMessageBox(const MessageBoxRequest& request);
BoxAnswer ShowMessageBox(const QString& text, const QString& caption = QStringLiteral("提示"),
                         BoxIcon icon = BoxIcon::kInformation, BoxButtons buttons = BoxButtons::kOk,
                         QWidget* owner = nullptr);
// True when a file was chosen, false when the dialog was cancelled.
bool RunFileDialog(FileDialogRequest& request);
// Opens `url` with the desktop; when that fails, a message gives the address
// (a local file's path) so that the user can open it by hand.
void OpenOrShowAddress(const QUrl& url);

}  // namespace orv
