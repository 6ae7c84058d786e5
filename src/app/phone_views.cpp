#include "app/phone_views.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/desktop.h"
#include "app/icons.h"
#include "app/qt_text.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "app/ui_thread.h"

namespace orv {
namespace {

constexpr int kFolderImage = 5;  // il2: a folder of tv1

QString ToQt(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

}  // namespace

void ShowConnectionState(TForm1& form, const QString& caption, int image) {
  if (form.lv2->count() == 0) return;
  QListWidgetItem* item = form.lv2->item(0);
  item->setText(caption);
  item->setIcon(ImageListIcon(ImageList::kIl1, image));
}

void ImagingViews::addLogLine(const LogLine& line) {
  RunOnUiThread(&form_, [&] { form_.AddLogLine(line); });
}

void ImagingViews::showMessage(const std::string& text) {
  RunOnUiThread(&form_, [&] { ShowMessageBox(orv::ToQt(text)); });
}

bool ImagingViews::askWarning(const std::string& text) {
  bool yes = false;
  RunOnUiThread(&form_, [&] {
    yes = ShowMessageBox(orv::ToQt(text), QStringLiteral("警告"), BoxIcon::kWarning,
                         BoxButtons::kYesNo) == BoxAnswer::kYes;
  });
  return yes;
}

void ImagingViews::setConnectionState(const std::string& caption, int image) {
  RunOnUiThread(&form_, [&] { ShowConnectionState(form_, orv::ToQt(caption), image); });
}

void ImagingViews::setImagingRunning(bool running) {
  RunOnUiThread(&form_, [&] { form_.btn14->setEnabled(!running); });
}

void ImagingViews::setConnectEnabled(bool enabled) {
  RunOnUiThread(&form_, [&] { form_.btn1->setEnabled(enabled); });
}

void FileBrowserViews::addLogLine(const LogLine& line) {
  RunOnUiThread(&form_, [&] { form_.AddLogLine(line); });
}

void FileBrowserViews::setConnectionState(std::string_view caption, int image) {
  RunOnUiThread(&form_, [&] { ShowConnectionState(form_, ToQt(caption), image); });
}

void FileBrowserViews::showMessage(std::string_view text) {
  RunOnUiThread(&form_, [&] { ShowMessageBox(ToQt(text)); });
}

void FileBrowserViews::setConnectButtonEnabled(bool enabled) {
  RunOnUiThread(&form_, [&] { form_.btn1->setEnabled(enabled); });
}

void FileBrowserViews::showCommandOutput(std::string_view output) {
  RunOnUiThread(&form_, [&] {
    if (form2_) form2_->mmo1->setPlainText(ToQt(output));
  });
}

void FileBrowserViews::clearFileList() {
  RunOnUiThread(&form_, [&] { form_.lv1->clear(); });
}

void FileBrowserViews::addFolderNode(const std::string& path) {
  RunOnUiThread(&form_, [&] {
    // The node that was double-clicked, wherever the selection is now; gone
    // when a new connection reset the tree meanwhile.
    const QList<QTreeWidgetItem*> found =
        form_.tv1->findItems(orv::ToQt(folder_), Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty()) return;
    auto* node = new QTreeWidgetItem(found.first(), QStringList{orv::ToQt(path)});
    node->setIcon(0, ImageListIcon(ImageList::kIl2, kFolderImage));
    form_.tv1->expandAll();
  });
}

void FileBrowserViews::addFileRows(std::vector<FileRow> rows) {
  RunOnUiThread(&form_, [&] {
    for (const FileRow& row : rows) {
      auto* item = new QTreeWidgetItem(
          form_.lv1, QStringList{orv::ToQt(row.name), orv::ToQt(row.size), orv::ToQt(row.created),
                                 orv::ToQt(row.link), orv::ToQt(row.folder)});
      item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
      item->setCheckState(0, Qt::Unchecked);
      item->setIcon(0, ImageListIcon(ImageList::kIl2, FileRowImage(row)));
    }
  });
}

}  // namespace orv
