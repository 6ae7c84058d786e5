#pragma once
// The user guide shipped next to the program: a compiled help file on
// Windows, an HTML page elsewhere.

#include <QString>

namespace orv {

inline QString HelpDocumentName() {
#ifdef _WIN32
  return QStringLiteral("HelpRecovery.chm");
#else
  return QStringLiteral("HelpRecovery.html");
#endif
}

}  // namespace orv
