// orv: recovers contacts, the call log and text messages of Android phones
// from raw storage images.

#include <QApplication>

#include "app/app_font.h"
#include "app/forms.h"
#include "app/qt_translations.h"
#include "app/tform1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  orv::UseChineseFont(app);
  orv::InstallQtChineseTranslations(app);  // without them Qt's dialogs stay English
  const auto forms = orv::CreateForms(QCoreApplication::applicationDirPath());
  forms->form1->show();
  return app.exec();
}
