#pragma once
// The program's texts are Chinese: make sure a font that has the characters is
// the application font, whatever the desktop's default is.

class QApplication;

namespace orv {

// Picks the first installed Chinese font of a list (Noto CJK on Debian); the
// font stays as it is when none is installed.
void UseChineseFont(QApplication& app);

}  // namespace orv
