// The activity log: adding lines and saving the log.

#include <QHeaderView>
#include <QTreeView>

#include "app/column_fit.h"
#include "app/log_model.h"
#include "app/qt_text.h"
#include "app/tform1.h"
#include "app/user_files.h"
#include "platform/clock.h"
#include "results/list_to_file.h"

namespace orv {

// A line wider than its column widens it: the log has few lines, and a cut
// date or description is of no use.
void TForm1::AddLogLine(const LogLine& line) {
  logModel_->append(line);
  const int row = logModel_->rowCount() - 1;
  for (int column = 0; column < logModel_->columnCount(); ++column) {
    WidenColumnToFit(lv4, lv4->header(), column, row, 1);
  }
  lv4->scrollToBottom();
}

void TForm1::N1Click() {
  dlgSave1.fileName = QStringLiteral("ORV-") + ToQt(FormatFileStamp(Now())) + ".log";
  if (!RunFileDialog(dlgSave1)) return;  // cancelled: nothing is written
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
