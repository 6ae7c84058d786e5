#include "app/tform2.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/desktop.h"
#include "app/page_builders.h"
#include "app/ui_thread.h"
#include "app/worker_threads.h"
#include "device/wireless_link.h"

namespace orv {
namespace {

// The wireless link's reports, carried out on the window's thread.
class WirelessLinkViews : public WirelessLinkView {
 public:
  explicit WirelessLinkViews(TForm2& form) : form_(form) {}
  void showAddress(const std::string& address) override {
    RunOnUiThread(&form_, [&] { form_.lbledt3->setText(QString::fromStdString(address)); });
  }
  void showCommandOutput(std::string_view output) override {
    RunOnUiThread(&form_, [&] {
      form_.mmo1->setPlainText(QString::fromUtf8(output.data(), static_cast<int>(output.size())));
    });
  }
  void showMessage(std::string_view text) override {
    RunOnUiThread(&form_, [&] {
      ShowMessageBox(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
    });
  }

 private:
  TForm2& form_;
};

}  // namespace

TForm2::TForm2() : workers_(new WorkerThreads(this)) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QStringLiteral("无线互联"));
  resize(760, 520);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  lbledt1 = MakeLabeledEdit(this, top, "lbledt1", QStringLiteral("Devices"), false);
  lbledt2 = MakeLabeledEdit(this, top, "lbledt2", QStringLiteral("test"), false);
  lbledt3 = MakeLabeledEdit(this, top, "lbledt3", QStringLiteral("WLan IP:"), true);
  btn1 = MakeButton(this, "btn1", QStringLiteral("无线互联设置"));
  top->addWidget(btn1);
  layout->addLayout(top);
  lv1 = MakeColumnList(
      this, "lv1",
      {QStringLiteral("SN"), QStringLiteral("主块-P"), QStringLiteral("次块-P"),
       QStringLiteral("长度-P"), QStringLiteral("分区名称-P"), QStringLiteral("文件系统-M"),
       QStringLiteral("链接文件-M"), QStringLiteral("挂载点-M"), QStringLiteral("路径-M"),
       QStringLiteral("长度-D"), QStringLiteral("使用空间-D"), QStringLiteral("空闲空间-D"),
       QStringLiteral("盘符属性"), QStringLiteral("所属物理盘")});
  layout->addWidget(MakeGroup(this, QStringLiteral("Result"), lv1), 2);
  mmo1 = new QPlainTextEdit(this);
  mmo1->setObjectName(QStringLiteral("mmo1"));
  layout->addWidget(MakeGroup(this, QStringLiteral("Log"), mmo1), 1);
  connect(btn1, &QPushButton::clicked, this, &TForm2::btn1Click);
}

void TForm2::btn1Click() {
  btn1->setEnabled(false);
  workers_->start(
      [this] {
        WirelessLinkViews views(*this);
        RunWirelessLink(views);
      },
      [this] { btn1->setEnabled(true); });
}

bool TForm2::linkRunning() const { return workers_->running() > 0; }

}  // namespace orv
