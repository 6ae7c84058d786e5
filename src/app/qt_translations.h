#pragma once
// Qt's own texts (the buttons and labels of file dialogs) in Chinese, to match
// the program's: Qt ships them as "qtbase_zh_CN.qm" in its translations
// folder (on Debian in the package qt6-translations-l10n).

#include <QString>

class QCoreApplication;
class QTranslator;

namespace orv {

// Installs the Chinese translation of Qt's texts from `folder` (Qt's own
// translations folder when empty). Returns the installed translator, owned
// by `app`; none, changing nothing, when the file is absent or unreadable.
QTranslator* InstallQtChineseTranslations(QCoreApplication& app, const QString& folder = {});

}  // namespace orv
