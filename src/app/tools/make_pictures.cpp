// Draws the three pictures of the about window and writes them as JPEG files
// (with libjpeg) into the folder given as the only argument. Run at build time.

#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <vector>

namespace {

bool WriteJpeg(const QImage& picture, const QString& path) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
  if (!file) return false;
  jpeg_compress_struct info{};
  jpeg_error_mgr error{};
  info.err = jpeg_std_error(&error);  // a failure here ends the build step
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = static_cast<JDIMENSION>(rgb.width());
  info.image_height = static_cast<JDIMENSION>(rgb.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 90, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return std::fclose(file) == 0;
}

QFont Font(int pixels, bool bold) {
  QFont font(QStringLiteral("Noto Sans CJK SC"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QImage Banner() {
  QImage image(560, 84, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, image.width(), 0);
  sky.setColorAt(0, QColor(18, 62, 140));
  sky.setColorAt(1, QColor(96, 160, 230));
  p.fillRect(image.rect(), sky);
  p.setPen(Qt::white);
  p.setFont(Font(30, true));
  p.drawText(QRect(20, 6, 520, 44), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("ORV 安卓手机数据恢复"));
  p.setFont(Font(15, false));
  p.drawText(QRect(22, 48, 520, 28), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("通讯录 · 通话记录 · 短信，删除的记录也能找回"));
  return image;
}

// A phone with a list of contacts on its screen.
QImage About() {
  QImage image(180, 230, QImage::Format_RGB32);
  image.fill(QColor(236, 243, 252));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 60, 90), 3));
  p.setBrush(QColor(60, 70, 90));
  p.drawRoundedRect(45, 15, 90, 180, 12, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 252, 255));
  p.drawRect(52, 32, 76, 140);
  for (int i = 0; i < 5; ++i) {
    p.setBrush(QColor(80, 150, 230));
    p.drawEllipse(57, 40 + i * 26, 14, 14);
    p.setBrush(QColor(180, 195, 215));
    p.drawRect(76, 44 + i * 26, 46, 6);
  }
  p.setBrush(QColor(40, 160, 70));
  p.drawEllipse(110, 150, 52, 52);
  p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygon({QPoint(122, 176), QPoint(133, 187), QPoint(151, 165)}));
  p.setPen(QColor(40, 60, 90));
  p.setFont(Font(14, true));
  p.drawText(QRect(0, 200, 180, 26), Qt::AlignCenter, QStringLiteral("找回您的数据"));
  return image;
}

// An envelope with a speech bubble.
QImage Feedback() {
  QImage image(180, 230, QImage::Format_RGB32);
  image.fill(QColor(252, 246, 236));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(150, 100, 40), 3));
  p.setBrush(QColor(255, 226, 170));
  p.drawRect(25, 95, 130, 85);
  p.drawPolyline(QPolygon({QPoint(25, 95), QPoint(90, 145), QPoint(155, 95)}));
  QPainterPath bubble;
  bubble.addRoundedRect(60, 15, 105, 60, 14, 14);
  bubble.moveTo(80, 75);
  bubble.lineTo(72, 92);
  bubble.lineTo(96, 75);
  p.setPen(QPen(QColor(30, 100, 190), 3));
  p.setBrush(QColor(220, 236, 255));
  p.drawPath(bubble.simplified());
  p.setPen(QColor(30, 100, 190));
  p.setFont(Font(24, true));
  p.drawText(QRect(60, 15, 105, 60), Qt::AlignCenter, QStringLiteral("…?!"));
  p.setPen(QColor(120, 80, 30));
  p.setFont(Font(14, true));
  p.drawText(QRect(0, 196, 180, 26), Qt::AlignCenter, QStringLiteral("告诉我们您的问题"));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  bool ok = WriteJpeg(Banner(), folder + "/banner.jpg");
  ok = WriteJpeg(About(), folder + "/about.jpg") && ok;
  ok = WriteJpeg(Feedback(), folder + "/feedback.jpg") && ok;
  return ok ? 0 : 1;
}
