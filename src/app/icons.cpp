#include "app/icons.h"

#include <QPainter>
#include <QPixmap>

namespace orv {
namespace {

constexpr int kSize = 16;

QPixmap Blank() {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A filled disc with a white mark drawn by `mark`.
template <typename Mark>
QIcon Disc(QColor colour, Mark mark) {
  QPixmap pixmap = Blank();
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawEllipse(1, 1, kSize - 2, kSize - 2);
  painter.setPen(QPen(Qt::white, 2));
  mark(painter);
  return QIcon(pixmap);
}

QIcon Tick(QColor colour) {
  return Disc(colour, [](QPainter& p) {
    p.drawPolyline(QPolygon({QPoint(4, 8), QPoint(7, 11), QPoint(12, 5)}));
  });
}

QIcon Cross(QColor colour) {
  return Disc(colour, [](QPainter& p) {
    p.drawLine(5, 5, 11, 11);
    p.drawLine(11, 5, 5, 11);
  });
}

QIcon Bang(QColor colour) {
  return Disc(colour, [](QPainter& p) {
    p.drawLine(8, 4, 8, 9);
    p.drawPoint(8, 12);
  });
}

QIcon Dot(QColor colour) {
  return Disc(colour, [](QPainter&) {});
}

}  // namespace

QIcon ImageListIcon(ImageList list, int index) {
  if (list == ImageList::kIl2 && index == kNormalRecordImage) return Tick(QColor(40, 150, 60));
  if (list == ImageList::kIl2 && index == kDeletedRecordImage) return Cross(QColor(200, 40, 40));
  if (list == ImageList::kIl3 && index == kHintImage) return Bang(QColor(30, 110, 200));
  if (list == ImageList::kIl1 && index == kStateImage) return Dot(QColor(150, 150, 150));
  // Other pictures differ by hue only.
  return Dot(QColor::fromHsv((index * 47) % 360, 160, 200));
}

}  // namespace orv
