#include "app/app_font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>

namespace orv {

void UseChineseFont(QApplication& app) {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : {"Noto Sans CJK SC", "Noto Sans SC", "Source Han Sans SC",
                             "WenQuanYi Micro Hei", "Microsoft YaHei", "SimSun"}) {
    if (installed.contains(QString::fromLatin1(family))) {
      QFont font(QString::fromLatin1(family));
      font.setPointSize(9);
      app.setFont(font);
      return;
    }
  }
}

}  // namespace orv
