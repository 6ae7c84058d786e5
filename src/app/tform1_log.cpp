// The activity log: adding lines and saving the log.

#include <QTreeView>

#include "app/log_model.h"
#include "app/qt_text.h"
#include "app/tform1.h"
#include "app/user_files.h"
#include "platform/clock.h"
#include "results/list_to_file.h"

namespace orv {

void TForm1::AddLogLine(const LogLine& line) {
  logModel_->append(line);
  lv4->scrollToBottom();
}

void TForm1::N1Click() {
  dlgSave1.fileName = QStringLiteral("ORV-") + ToQt(FormatFileStamp(Now())) + ".log";
  // The dialog's answer is not asked: a cancelled dialog keeps the preset.
  RunFileDialog(dlgSave1);
  if (dlgSave1.fileName.isEmpty()) {
    ShowMessageBox(QStringLiteral("保存路径不能为空，请重新设置!"));
    return;
  }
  startWorker([lines = logModel_->lines(), name = FromQt(dlgSave1.fileName),
               views = views_.get()]() mutable {
    Tlvtofile_2(std::move(lines), name, kUserFileEncoding, *views).run();
  });
}

}  // namespace orv
