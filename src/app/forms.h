#pragma once
// The program's windows, created in a fixed order: the main window, the
// wireless-link window, the disk chooser, the raw-results window and the about
// window. Only the main window is shown; the others start hidden, are owned
// by the main window (kept above it) and open centred over it.

#include <QString>
#include <memory>

namespace orv {

class TForm1;
class TForm2;
class TForm4;
class TForm5;
class TForm6;

struct Forms {
  std::unique_ptr<TForm1> form1;
  std::unique_ptr<TForm2> form2;
  std::unique_ptr<TForm4> form4;
  std::unique_ptr<TForm5> form5;
  std::unique_ptr<TForm6> form6;

  Forms();
  Forms(Forms&&) = delete;
  // Workers end before the windows whose data they use go.
  ~Forms();
};

// Creates all windows; the main window is not shown yet. `programDir` holds
// "Item.ini" and the help document.
std::unique_ptr<Forms> CreateForms(const QString& programDir);

}  // namespace orv
