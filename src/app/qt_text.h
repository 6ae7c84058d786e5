#pragma once
// The program keeps text as UTF-8 std::string; Qt wants QString.

#include <QString>
#include <string>

namespace orv {

inline QString ToQt(const std::string& utf8) { return QString::fromStdString(utf8); }
inline std::string FromQt(const QString& text) { return text.toStdString(); }

}  // namespace orv
