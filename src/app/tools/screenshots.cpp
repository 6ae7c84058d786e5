// orv_screenshots: draws every page and window of the program into PNG files,
// for checking the layout and the Chinese texts without a display.
//
//   orv_screenshots OUT_DIR [IMAGE [SYS_BLOCK]]
//
// With IMAGE, the scan page scans it and the results page shows the preview
// of each kind. With SYS_BLOCK (a sysfs block folder), the disk chooser lists
// the disks described there instead of this computer's. Message boxes are answered at once and
// printed.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <cstdio>

#include "app/app_font.h"
#include "app/desktop.h"
#include "app/forms.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "app/tform6.h"

namespace {

QString outDir;

void Shot(QWidget* window, const QString& name) {
  QApplication::processEvents();
  const QString path = outDir + "/" + name + ".png";
  if (!window->grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void WaitForWorkers(orv::TForm1& form) {
  QElapsedTimer clock;
  clock.start();
  while (form.workersRunning() && clock.elapsed() < 600000) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(5);
  }
  QApplication::processEvents();
}

void AnswerEverything(const QString& image) {
  orv::Desktop& desktop = orv::CurrentDesktop();
  desktop.messageBox = [](const orv::MessageBoxRequest& box) {
    std::printf("message [%s] %s\n", qPrintable(box.caption), qPrintable(box.text));
    return orv::BoxAnswer::kYes;
  };
  desktop.fileDialog = [image](orv::FileDialogRequest& dialog) {
    if (dialog.save) return false;
    dialog.fileName = image;
    return true;
  };
  desktop.openUrl = [](const QUrl&) { return true; };
}

void ShootScanAndResults(orv::TForm1& main) {
  main.btn16->click();
  main.btn17->click();
  QApplication::processEvents();
  Shot(&main, "main-ts4-scanning");
  WaitForWorkers(main);
  Shot(&main, "main-ts4-scanned");
  main.btn19->click();
  const struct {
    QRadioButton* radio;
    const char* name;
  } kinds[] = {{main.rb1, "contacts"}, {main.rb2, "calls"}, {main.rb3, "sms"}};
  for (const auto& kind : kinds) {
    kind.radio->setChecked(true);
    main.btn24->click();
    WaitForWorkers(main);
    Shot(&main, QStringLiteral("main-ts5-%1").arg(kind.name));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orv_screenshots OUT_DIR [IMAGE [SYS_BLOCK]]\n");
    return 2;
  }
  QApplication app(argc, argv);
  orv::UseChineseFont(app);
  outDir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(outDir);
  const QString image = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  AnswerEverything(image);

  const auto forms = orv::CreateForms(QCoreApplication::applicationDirPath());
  orv::TForm1& main = *forms->form1;
  if (argc > 3) main.diskPlaces.sysBlock = argv[3];
  main.show();
  main.tmr1Timer();  // the status bar's link, without waiting for the timer
  Shot(&main, "main-ts4");
  // The phone pages are hidden at start; shown here one by one for the record.
  const struct {
    QWidget* page;
    const char* name;
  } pages[] = {{main.ts1, "ts1"}, {main.ts2, "ts2"}, {main.ts3, "ts3"}, {main.ts5, "ts5"}};
  for (const auto& page : pages) {
    main.showOnlyPage(page.page);
    Shot(&main, QStringLiteral("main-%1").arg(page.name));
  }
  main.showOnlyPage(main.ts4);
  if (!image.isEmpty()) ShootScanAndResults(main);

  forms->form5->show();
  forms->form5->refreshLists();
  Shot(forms->form5.get(), "form5-raw-results");
  forms->form6->showPage(orv::TForm6::Page::kAbout);
  Shot(forms->form6.get(), "form6-about");
  forms->form6->showPage(orv::TForm6::Page::kFeedback);
  Shot(forms->form6.get(), "form6-feedback");
  forms->form2->show();
  Shot(forms->form2.get(), "form2-wireless");
  main.btn21->click();
  Shot(forms->form4.get(), "form4-disks");
  return 0;
}
