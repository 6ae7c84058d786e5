// The speed buttons: about, home page, user guide, feedback.

#include <QFileInfo>

#include "app/help_document.h"
#include "app/maker_site.h"
#include "app/qt_text.h"
#include "app/tform1.h"
#include "app/tform6.h"

namespace orv {

void TForm1::btn3Click() { peers_.form6->showPage(TForm6::Page::kAbout); }

void TForm1::btn10Click() { peers_.form6->showPage(TForm6::Page::kFeedback); }

void TForm1::btn5Click() { OpenOrShowAddress(QUrl(ToQt(std::string(kHomePageUrl)))); }

// The file's own fault (missing, unreadable) is told apart from a desktop
// that has no program for it: then the user is given the path instead.
void TForm1::btn6Click() {
  const QString path = programDir_ + "/" + HelpDocumentName();
  const QFileInfo help(path);
  if (!help.isFile() || !help.isReadable()) {
    ShowMessageBox(QStringLiteral("帮助文件损坏了，请联系客服人员获取!"));
    return;
  }
  OpenOrShowAddress(QUrl::fromLocalFile(path));
}

}  // namespace orv
