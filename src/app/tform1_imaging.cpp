// The imaging page and the pages that lead to it: choosing a partition on the
// storage page or a file on the file page, the PC folder, starting and
// stopping an imaging run, and moving on to the scan.

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/connect_view_gui.h"
#include "app/phone_views.h"
#include "app/qt_text.h"
#include "app/status_panels.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "device/wireless_link_flag.h"
#include "imaging/number_text.h"
#include "imaging/start_check.h"
#include "imaging/storage_choice.h"
#include "imaging/timage.h"
#include "platform/free_space.h"

namespace orv {
namespace {

constexpr int kFileNameColumn = 0;
constexpr int kFileSizeColumn = 1;
constexpr int kFileFolderColumn = 4;

// The storage model as the storage list of the wireless-link window holds it.
StorageModel StorageModelFromList(const QTreeWidget* list) {
  StorageModel model;
  for (int row = 0; row < list->topLevelItemCount(); ++row) {
    const QTreeWidgetItem* item = list->topLevelItem(row);
    auto cell = [item](int column) { return FromQt(item->text(column)); };
    StorageEntry entry;
    entry.serial = item->text(0).toInt();
    entry.major = cell(1);
    entry.minor = cell(2);
    entry.blocks = cell(3);
    entry.name = cell(4);
    entry.fileSystem = cell(5);
    entry.link = cell(6);
    entry.mountPoint = cell(7);
    entry.path = cell(8);
    entry.size = cell(9);
    entry.used = cell(10);
    entry.free = cell(11);
    entry.kind = cell(12);
    entry.disk = cell(13);
    model.push_back(std::move(entry));
  }
  return model;
}

// The nodes of the storage tree in tree order; `selected` becomes the index of
// `current` (or the node count when there is none).
std::vector<StorageTreeNode> StorageNodesFromTree(const QTreeWidget* tree,
                                                  const QTreeWidgetItem* current,
                                                  std::size_t& selected) {
  std::vector<StorageTreeNode> nodes;
  selected = SIZE_MAX;
  std::vector<std::pair<const QTreeWidgetItem*, int>> pending;
  for (int i = tree->topLevelItemCount() - 1; i >= 0; --i) {
    pending.push_back({tree->topLevelItem(i), kNoParent});
  }
  while (!pending.empty()) {
    const auto [item, parent] = pending.back();
    pending.pop_back();
    const QVariant entry = item->data(0, kEntryRole);
    if (item == current) selected = nodes.size();
    nodes.push_back({FromQt(item->text(0)), 0, parent, entry.isValid() ? entry.toInt() : kNoEntry});
    const int index = static_cast<int>(nodes.size()) - 1;
    for (int i = item->childCount() - 1; i >= 0; --i) pending.push_back({item->child(i), index});
  }
  if (selected == SIZE_MAX) selected = nodes.size();
  return nodes;
}

QString WithTrailingSeparator(QString folder) {
  const QString separator = QDir::separator();
  if (!folder.isEmpty() && !folder.endsWith(separator) && !folder.endsWith('/')) {
    folder += separator;
  }
  return folder;
}

}  // namespace

void TForm1::btn8Click() { showOnlyPage(ts2); }

void TForm1::btn9Click() { showOnlyPage(ts1); }

void TForm1::btn13Click() { showOnlyPage(imagingFromFiles_ ? ts2 : ts1); }

void TForm1::clearImagingPage(bool fromFiles) {
  imagingFromFiles_ = fromFiles;
  imagingPlan_.reset();
  for (QLineEdit* edit : {lbledt1, lbledt2, lbledt3, lbledt4}) edit->clear();
}

void TForm1::refuseNumber() {
  AddLogLine(MakeLogLine("错误", std::string(kNumberFormatMessage)));
  ShowMessageBox(ToQt(std::string(kNumberFormatMessage)));
}

void TForm1::btn2Click() {
  clearImagingPage(false);
  if (!tv2->currentItem()) {
    ShowMessageBox(ToQt(std::string(kNothingChosenMessage)));
    showOnlyPage(ts4);
    return;
  }
  std::size_t selected = 0;
  const std::vector<StorageTreeNode> nodes =
      StorageNodesFromTree(tv2, tv2->currentItem(), selected);
  const PlanDecision decision =
      DecideStoragePlan(nodes, selected, StorageModelFromList(peers_.form2->lv1));
  if (!decision.plan) {
    if (decision.numberError) return refuseNumber();
    ShowMessageBox(ToQt(decision.message));
    return;
  }
  const ImagingPlan& plan = *decision.plan;
  lbledt1->setText(ToQt(plan.source));
  lbledt2->setText(ToQt(plan.phoneTarget));
  lbledt4->setText(QString::number(plan.sizeBytes));
  if (ShowMessageBox(ToQt(decision.message), QStringLiteral("警告"), BoxIcon::kWarning,
                     BoxButtons::kYesNo) != BoxAnswer::kYes) {
    return;
  }
  imagingPlan_ = plan;
  showOnlyPage(ts3);
}

void TForm1::btn7Click() {
  clearImagingPage(true);
  std::vector<const QTreeWidgetItem*> checked;
  for (int row = 0; row < lv1->topLevelItemCount(); ++row) {
    if (lv1->topLevelItem(row)->checkState(0) == Qt::Checked)
      checked.push_back(lv1->topLevelItem(row));
  }
  if (checked.empty()) {
    ShowMessageBox(QStringLiteral("矮油,好像您没有选中任何文件哟~~~"));
    return;
  }
  if (checked.size() > 1) {
    ShowMessageBox(
        QStringLiteral("每次仅能选中一个文件进行镜像，不可多选，请重新选择一个您要镜像的文件"));
    return;
  }
  const QTreeWidgetItem* row = checked.front();
  const PlanDecision decision =
      DecideFilePlan(FromQt(row->text(kFileFolderColumn)), FromQt(row->text(kFileNameColumn)),
                     FromQt(row->text(kFileSizeColumn)));
  if (!decision.plan) return refuseNumber();
  imagingPlan_ = decision.plan;
  lbledt1->setText(ToQt(imagingPlan_->source));
  lbledt4->setText(row->text(kFileSizeColumn));
  showOnlyPage(ts3);
}

void TForm1::btn12Click() {
  lbledt3->clear();
  FileDialogRequest request{this, false, QString(), QString()};
  request.folder = true;
  RunFileDialog(request);
  if (request.fileName.isEmpty()) {
    ShowMessageBox(QStringLiteral("Windows目标盘路径为空,请设置好Windows目标盘路径!"),
                   QStringLiteral("提示"), BoxIcon::kQuestion, BoxButtons::kOk, this);
    return;
  }
  lbledt3->setText(WithTrailingSeparator(QDir::toNativeSeparators(request.fileName)));
}

void TForm1::btn14Click() {
  if (!imagingPlan_) return refuseNumber();
  ImagingPlan plan = *imagingPlan_;
  plan.pcFolder = FromQt(WithTrailingSeparator(lbledt3->text().trimmed()));
  const StartCheck check = CheckImagingStart(plan, FreeBytesAvailable);
  if (check.spaceLine) AddLogLine(*check.spaceLine);
  if (!check.refusal.empty()) {
    ShowMessageBox(ToQt(check.refusal), QStringLiteral("提示"), BoxIcon::kQuestion, BoxButtons::kOk,
                   this);
    return;
  }
  btn14->setEnabled(false);
  auto imaging = std::make_shared<Timage>(plan, *imagingViews_, WirelessLinkFlag().load());
  imaging_ = imaging;
  startWorker([imaging] { imaging->run(); },
              [this, imaging] {
                if (imaging_ == imaging) imaging_.reset();
                btn14->setEnabled(true);
              });
}

void TForm1::btn15Click() {
  if (ShowMessageBox(
          QStringLiteral("停止镜像可能导致镜像文件不完全，这样会使得的程序扫描恢复时数据不全，"
                         "您真的要停止镜像吗？"),
          QStringLiteral("提示"), BoxIcon::kInformation, BoxButtons::kYesNo) != BoxAnswer::kYes) {
    return;
  }
  if (imaging_) imaging_->requestStop();
  stat1->setPanelText(0, QStringLiteral("就绪"));
  stat1->setPanelText(1, QString());
}

void TForm1::btn11Click() {
  if (!btn14->isEnabled()) {
    ShowMessageBox(QStringLiteral("亲，似乎还没有镜像完成哟，请在镜像完成后再点击[下一步]"),
                   QStringLiteral("提示"), BoxIcon::kError);
    return;
  }
  if (!imagingPlan_) return refuseNumber();
  if (imagingPlan_->way == ImagingWay::kRawCard) {
    ShowMessageBox(
        QStringLiteral("逻辑盘长度大于4G，请您在镜像完毕后点击[下一步]并选择[物理盘]按钮来加"
                       "载您的SD卡"),
        QStringLiteral("提示"), BoxIcon::kError);
    showOnlyPage(ts4);
    btn21Click();
    return;
  }
  ImagingPlan plan = *imagingPlan_;
  plan.pcFolder = FromQt(WithTrailingSeparator(lbledt3->text().trimmed()));
  lbledt8->setText(ToQt(LocalCopyPath(plan)));
  showOnlyPage(ts4);
}

void TForm1::tv1DblClick() {
  QTreeWidgetItem* node = tv1->currentItem();
  if (!node || listingFolder_) return;
  listingFolder_ = true;
  if (peers_.form2) peers_.form2->mmo1->clear();
  auto views = std::make_shared<FileBrowserViews>(*this, peers_.form2, FromQt(node->text(0)));
  const std::string folder = FromQt(node->text(0));
  const bool listedBefore = node->childCount() > 0;
  startWorker([views, folder, listedBefore] { TFileBro(folder, listedBefore, *views).run(); },
              [this] { listingFolder_ = false; });
}

}  // namespace orv
