#include "app/tform6.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>

#include "app/jpeg_image.h"
#include "app/maker_site.h"
#include "app/page_builders.h"

namespace orv {
namespace {

QLabel* MakePicture(QWidget* parent, const char* name, const QString& resource) {
  auto* picture = new QLabel(parent);
  picture->setObjectName(QString::fromLatin1(name));
  picture->setAlignment(Qt::AlignCenter);
  const QImage image = LoadJpeg(resource);
  if (!image.isNull()) picture->setPixmap(QPixmap::fromImage(image));
  return picture;
}

QString AboutText() {
  return QStringLiteral(
             "ORV 安卓手机数据恢复\n\n"
             "从手机存储的镜像文件或SD卡中找回通讯录、通话记录和短信，\n"
             "已删除的记录也能找回。\n\n"
             "程序只读取您选择的镜像或磁盘，不会修改其中的任何数据。\n\n"
             "主页：") +
         QString::fromUtf8(kHomePageUrl.data(), static_cast<qsizetype>(kHomePageUrl.size()));
}

QString FeedbackText() {
  return QStringLiteral(
             "使用中遇到问题，或者有好的建议，欢迎告诉我们。\n\n"
             "反馈时请写明：\n"
             "  1. 手机型号和安卓版本；\n"
             "  2. 您做了哪些操作，看到了什么提示；\n"
             "  3. 保存的日志文件（日志列表中点击右键，选择[保存日志]）。\n\n"
             "反馈页面：") +
         QString::fromUtf8(kHomePageUrl.data(), static_cast<qsizetype>(kHomePageUrl.size())) +
         QStringLiteral("feedback");
}

}  // namespace

TForm6::TForm6() {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("关于ORV"));
  setFixedSize(600, 470);
  img1 = MakePicture(this, "img1", QStringLiteral(":/pictures/banner.jpg"));
  pgc1 = new QTabWidget(this);
  pgc1->setObjectName(QStringLiteral("pgc1"));
  ts1 = buildPage(
      {"ts1", "img2", "lbl1", "btn1", QStringLiteral(":/pictures/about.jpg"), AboutText()}, img2,
      lbl1, btn1);
  ts2 = buildPage(
      {"ts2", "img3", "lbl2", "btn2", QStringLiteral(":/pictures/feedback.jpg"), FeedbackText()},
      img3, lbl2, btn2);
  pgc1->addTab(ts1, QStringLiteral("关于我们"));
  pgc1->addTab(ts2, QStringLiteral("反馈问题"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(img1);
  layout->addWidget(pgc1, 1);
}

QWidget* TForm6::buildPage(const PageParts& parts, QLabel*& picture, QLabel*& label,
                           QPushButton*& back) {
  auto* page = new QWidget(this);
  page->setObjectName(QString::fromLatin1(parts.page));
  picture = MakePicture(page, parts.picture, parts.resource);
  label = new QLabel(parts.text, page);
  label->setObjectName(QString::fromLatin1(parts.label));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  back = MakeButton(page, parts.button, QStringLiteral("返回主界面"));
  connect(back, &QPushButton::clicked, this, &QWidget::close);
  auto* content = new QHBoxLayout;
  content->addWidget(picture);
  content->addWidget(label, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(back);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(content, 1);
  layout->addLayout(buttons);
  return page;
}

void TForm6::showPage(Page page) {
  QWidget* shown = page == Page::kAbout ? ts1 : ts2;
  pgc1->setCurrentWidget(shown);
  pgc1->setTabVisible(0, shown == ts1);
  pgc1->setTabVisible(1, shown == ts2);
  setWindowTitle(shown == ts1 ? QStringLiteral("关于ORV") : QStringLiteral("反馈问题"));
  show();
  raise();
}

}  // namespace orv
