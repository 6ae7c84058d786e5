#pragma once
// What the GUI tests share: one QApplication on the offscreen platform, the
// program's windows created fresh for every test in a scratch program folder,
// and the desktop's dialogs answered by the test.

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "app/desktop.h"
#include "app/forms.h"

class QHeaderView;
class QWidget;

// Failure messages show texts, not their UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace orv::testing {

// A message box as the program asked for it.
struct ShownBox {
  QString caption;
  QString text;
  BoxIcon icon;
  BoxButtons buttons;
};

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the windows; files written into the program folder before this
  // (Item.ini, the help document) are seen by the start-up.
  void createForms();
  void destroyForms();
  QString programFile(const QString& name) const { return programDir_.filePath(name); }
  void writeProgramFile(const QString& name, const QByteArray& bytes) const;
  QString scratchFile(const QString& name) const { return scratchDir_.filePath(name); }

  TForm1& main() { return *forms_->form1; }
  Forms& forms() { return *forms_; }

  // Clicks the header of column `section` with the mouse.
  static void ClickHeader(QHeaderView* header, int section);
  // Processes events until `done` holds; false after `timeoutMs`.
  static bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);
  // Waits for every worker of the main window to end.
  void waitForWorkers();

  // Writes the demo image (contacts, calls and messages, live and deleted)
  // into the scratch folder and returns its path.
  QString writeDemoImage();
  // Scans `image` through the scan page's buttons and waits for the end.
  void scanThroughButtons(const QString& image);

  // The boxes shown since the last call, oldest first.
  std::vector<ShownBox> takeBoxes();
  QStringList takeBoxTexts();

  BoxAnswer answer = BoxAnswer::kYes;  // the answer to Yes/No boxes
  // What the next file dialogs choose: each entry replaces the preset file
  // name (an empty entry clears it); with none left the dialog is cancelled.
  std::deque<QString> dialogChoices;
  std::vector<QString> dialogPresets;  // the preset name each dialog saw
  std::vector<QUrl> openedUrls;
  bool openUrlResult = true;

 private:
  QTemporaryDir programDir_;
  QTemporaryDir scratchDir_;
  Desktop savedDesktop_;
  std::vector<ShownBox> boxes_;
  std::unique_ptr<Forms> forms_;
};

}  // namespace orv::testing
