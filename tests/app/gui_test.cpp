#include "gui_test.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <cstdlib>

#include "app/tform1.h"
#include "fixtures/demo_image.h"

namespace orv::testing {
namespace {

// One application for the whole test program, on the offscreen platform.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "app_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

void GuiTest::SetUp() {
  ASSERT_TRUE(programDir_.isValid());
  ASSERT_TRUE(scratchDir_.isValid());
  Desktop& desktop = CurrentDesktop();
  savedDesktop_ = desktop;
  desktop.messageBox = [this](const MessageBoxRequest& box) {
    boxes_.push_back({box.caption, box.text, box.icon, box.buttons});
    return box.buttons == BoxButtons::kYesNo ? answer : BoxAnswer::kOk;
  };
  desktop.fileDialog = [this](FileDialogRequest& dialog) {
    dialogPresets.push_back(dialog.fileName);
    if (dialogChoices.empty()) return false;
    dialog.fileName = dialogChoices.front();
    dialogChoices.pop_front();
    return true;
  };
  desktop.openUrl = [this](const QUrl& url) {
    openedUrls.push_back(url);
    return openUrlResult;
  };
}

void GuiTest::TearDown() {
  forms_.reset();
  CurrentDesktop() = savedDesktop_;
}

void GuiTest::createForms() {
  forms_ = CreateForms(programDir_.path());
  forms_->form1->show();
}

void GuiTest::destroyForms() { forms_.reset(); }

void GuiTest::writeProgramFile(const QString& name, const QByteArray& bytes) const {
  QFile file(programFile(name));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

bool GuiTest::WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 2) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (done()) return true;
    QThread::msleep(2);
  }
  return done();
}

void GuiTest::waitForWorkers() {
  ASSERT_TRUE(WaitUntil([this] { return !main().workersRunning(); }));
  QApplication::processEvents();
}

QString GuiTest::writeDemoImage() {
  const fixtures::DemoImage demo = fixtures::BuildDemoImage({});
  const QString path = scratchFile("demo.img");
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(demo.image.bytes.data()),
             static_cast<qint64>(demo.image.bytes.size()));
  return path;
}

void GuiTest::scanThroughButtons(const QString& image) {
  dialogChoices.push_back(image);
  main().btn16->click();
  ASSERT_EQ(main().lbledt8->text(), image);
  QTest::mouseClick(main().btn17, Qt::LeftButton);
  waitForWorkers();
}

void GuiTest::ClickHeader(QHeaderView* header, int section) {
  const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
  QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 5));
}

std::vector<ShownBox> GuiTest::takeBoxes() { return std::exchange(boxes_, {}); }

QStringList GuiTest::takeBoxTexts() {
  QStringList texts;
  for (const ShownBox& box : takeBoxes()) texts << box.text;
  return texts;
}

}  // namespace orv::testing
