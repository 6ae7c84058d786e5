#include "app/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace orv {
namespace {

QMessageBox::Icon QtIcon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::kInformation:
      return QMessageBox::Information;
    case BoxIcon::kWarning:
      return QMessageBox::Warning;
    case BoxIcon::kQuestion:
      return QMessageBox::Question;
    case BoxIcon::kError:
      return QMessageBox::Critical;
  }
  return QMessageBox::Information;
}

BoxAnswer RealMessageBox(const MessageBoxRequest& request) {
  QMessageBox box(QtIcon(request.icon), request.caption, request.text, QMessageBox::NoButton,
                  request.owner);
  box.setWindowModality(Qt::ApplicationModal);
  if (request.buttons == BoxButtons::kOk) {
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
    return BoxAnswer::kOk;
  }
  QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
  box.exec();
  return box.clickedButton() == yes ? BoxAnswer::kYes : BoxAnswer::kNo;
}

// "log|*.log" -> "log (*.log)".
QString QtFilter(const QString& filter) {
  const qsizetype bar = filter.indexOf('|');
  if (bar < 0) return QString();
  return filter.left(bar) + " (" + filter.mid(bar + 1) + ")";
}

bool RealFileDialog(FileDialogRequest& request) {
  QFileDialog dialog(request.owner);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.folder ? QFileDialog::Directory
                     : request.save ? QFileDialog::AnyFile
                                    : QFileDialog::ExistingFile);
  if (!request.filter.isEmpty()) dialog.setNameFilter(QtFilter(request.filter));
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  request.fileName = dialog.selectedFiles().first();
  return true;
}

}  // namespace

Desktop& CurrentDesktop() {
  static Desktop desktop{RealMessageBox, RealFileDialog,
                         [](const QUrl& url) { return QDesktopServices::openUrl(url); }};
  return desktop;
}

BoxAnswer ShowMessageBox(const MessageBoxRequest& request) {
  return CurrentDesktop().messageBox(request);
}

BoxAnswer ShowMessageBox(const QString& text, const QString& caption, BoxIcon icon,
                         BoxButtons buttons, QWidget* owner) {
  return ShowMessageBox(MessageBoxRequest{owner, caption, text, icon, buttons});
}

bool RunFileDialog(FileDialogRequest& request) { return CurrentDesktop().fileDialog(request); }

void OpenOrShowAddress(const QUrl& url) {
  if (CurrentDesktop().openUrl(url)) return;
  if (url.isLocalFile()) {
    ShowMessageBox(QStringLiteral("系统没有可以打开此文件的程序，请手动打开：\n") +
                   QDir::toNativeSeparators(url.toLocalFile()));
  } else {
    ShowMessageBox(QStringLiteral("无法启动浏览器，请在浏览器中手动打开此网址：\n") +
                   url.toString());
  }
}

}  // namespace orv
