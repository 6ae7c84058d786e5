#include "app/connect_view_gui.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/gui_messages.h"
#include "app/icons.h"
#include "app/qt_text.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "app/ui_thread.h"

namespace orv {
namespace {

constexpr int kFolderImage = 5;  // il2: a folder of the file browser

QString ToQtView(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

}  // namespace

void MainWindowConnectView::setConnectionState(std::string_view caption, int image) {
  RunOnUiThread(&form_, [&] {
    if (form_.lv2->count() == 0) form_.lv2->addItem(QString());
    QListWidgetItem* item = form_.lv2->item(0);
    item->setText(ToQtView(caption));
    item->setIcon(ImageListIcon(ImageList::kIl1, image));
    item->setData(kImageRole, image);
  });
}

void MainWindowConnectView::addInfoItem(std::string_view caption, int image) {
  RunOnUiThread(&form_, [&] {
    // The list shows the caption without its leading line end.
    std::string_view shown = caption;
    if (shown.starts_with("\r\n")) shown.remove_prefix(2);
    auto* item = new QTreeWidgetItem(form_.lv3, {ToQtView(shown)});
    item->setIcon(0, ImageListIcon(ImageList::kIl1, image));
    item->setData(0, kImageRole, image);
    item->setData(0, kCaptionRole, ToQtView(caption));
  });
}

void MainWindowConnectView::resetFileTree() {
  RunOnUiThread(&form_, [&] {
    form_.tv1->clear();
    auto* root = new QTreeWidgetItem(form_.tv1, {QStringLiteral("/data")});
    root->setIcon(0, ImageListIcon(ImageList::kIl2, kFolderImage));
    root->setData(0, kImageRole, kFolderImage);
  });
}

void MainWindowConnectView::showCommandOutput(std::string_view output) {
  RunOnUiThread(&form_, [&] { form2_.mmo1->setPlainText(ToQtView(output)); });
}

void MainWindowConnectView::setStorageModel(const StorageModel& model) {
  RunOnUiThread(&form_, [&] {
    form2_.lv1->clear();
    for (const StorageEntry& entry : model) {
      QStringList cells;
      for (const std::string& cell : StorageRowCells(entry)) cells << ToQt(cell);
      new QTreeWidgetItem(form2_.lv1, cells);
    }
  });
}

void MainWindowConnectView::showStorageTree(const std::vector<StorageTreeNode>& nodes) {
  RunOnUiThread(&form_, [&] { FillStorageTree(form_.tv2, nodes); });
}

void MainWindowConnectView::setConnectButtonEnabled(bool enabled) {
  RunOnUiThread(&form_, [&] { form_.btn1->setEnabled(enabled); });
}

void MainWindowConnectView::setSwitchButtonEnabled(bool enabled) {
  RunOnUiThread(&form_, [&] { form_.btn8->setEnabled(enabled); });
}

void MainWindowConnectView::showMessage(std::string_view text) {
  RunOnUiThread(&form_, [&] { ShowMessageBox(ToRequest(UserMessage{.text = std::string(text)})); });
}

void FillStorageTree(QTreeWidget* tree, const std::vector<StorageTreeNode>& nodes) {
  tree->clear();
  std::vector<QTreeWidgetItem*> items;
  items.reserve(nodes.size());
  for (const StorageTreeNode& node : nodes) {
    const QStringList caption{ToQt(node.caption)};
    QTreeWidgetItem* item = node.parent == kNoParent
                                ? new QTreeWidgetItem(tree, caption)
                                : new QTreeWidgetItem(items.at(node.parent), caption);
    item->setIcon(0, ImageListIcon(ImageList::kIl2, node.image));
    item->setData(0, kImageRole, node.image);
    item->setData(0, kEntryRole, node.entry);
    items.push_back(item);
  }
  tree->expandAll();
  if (!items.empty()) tree->setCurrentItem(items.front());
}

}  // namespace orv
