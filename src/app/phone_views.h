#pragma once
// The main window's side of the phone workers' view interfaces: the imaging
// worker and the file browser report through here. Every call comes from a
// worker thread and is carried out on the UI thread, waiting until done;
// gauge and status go through the main window's own posting views.

#include <QPointer>
#include <QString>
#include <string>

#include "device/tfilebro.h"
#include "imaging/imaging_view.h"

class QTreeWidget;

namespace orv {

class TForm1;
class TForm2;

// Sets the caption and picture of the connection-state item (lv2); UI thread.
void ShowConnectionState(TForm1& form, const QString& caption, int image);

class ImagingViews : public ImagingView {
 public:
  // `progress` shows the gauge and the status panels.
  ImagingViews(TForm1& form, ProgressView& progress) : form_(form), progress_(progress) {}

  void addLogLine(const LogLine& line) override;
  void setGaugeRange(std::int64_t maximum) override { progress_.setGaugeRange(maximum); }
  void setGaugePosition(std::int64_t position) override { progress_.setGaugePosition(position); }
  void setStatus(int panel, const std::string& text) override { progress_.setStatus(panel, text); }
  void showMessage(const std::string& text) override;
  bool askWarning(const std::string& text) override;
  void setConnectionState(const std::string& caption, int image) override;
  void setImagingRunning(bool running) override;
  void setConnectEnabled(bool enabled) override;

 private:
  TForm1& form_;
  ProgressView& progress_;
};

// The views of one listing of the folder `folder` of tv1.
class FileBrowserViews : public FileBrowserView {
 public:
  FileBrowserViews(TForm1& form, TForm2* form2, std::string folder)
      : form_(form), form2_(form2), folder_(std::move(folder)) {}

  void addLogLine(const LogLine& line) override;
  void setConnectionState(std::string_view caption, int image) override;
  void showMessage(std::string_view text) override;
  void setConnectButtonEnabled(bool enabled) override;
  void showCommandOutput(std::string_view output) override;
  void clearFileList() override;
  void addFolderNode(const std::string& path) override;
  void addFileRows(std::vector<FileRow> rows) override;

 private:
  TForm1& form_;
  QPointer<TForm2> form2_;
  std::string folder_;
};

}  // namespace orv
