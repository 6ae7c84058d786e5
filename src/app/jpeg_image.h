#pragma once
// Decoding the JPEG pictures of the about window with libjpeg.

#include <QByteArray>
#include <QImage>

namespace orv {

// The picture in `jpeg`, or a null image when it cannot be decoded (not a
// JPEG, cut short, unsupported colour space).
QImage DecodeJpeg(const QByteArray& jpeg);

// DecodeJpeg of a file or a Qt resource (":/..."); null when unreadable.
QImage LoadJpeg(const QString& path);

}  // namespace orv
