#include "app/forms.h"

#include <QEvent>
#include <initializer_list>

#include "app/tform1.h"
#include "app/tform2.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "app/tform6.h"

namespace orv {
namespace {

// Centres each window it watches over that window's owner whenever it is
// shown.
class CentreOverOwner : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* window = static_cast<QWidget*>(watched);
      if (const QWidget* owner = window->parentWidget()) {
        // By the client areas: the frame of a window not yet shown is unknown.
        QRect area = window->geometry();
        area.moveCenter(owner->geometry().center());
        window->setGeometry(area);
      }
    }
    return false;
  }
};

// Makes `window` a window of `owner`: it stays above it, goes with it and
// opens centred over it.
void OwnWindow(QWidget* owner, QWidget* window, QObject* centring) {
  window->setParent(owner, window->windowFlags() | Qt::Window);
  window->installEventFilter(centring);
}

}  // namespace

Forms::Forms() = default;

Forms::~Forms() {
  if (form1) form1->finishWorkers();
}

std::unique_ptr<Forms> CreateForms(const QString& programDir) {
  auto forms = std::make_unique<Forms>();
  forms->form1 = std::make_unique<TForm1>(programDir);
  forms->form2 = std::make_unique<TForm2>();
  forms->form4 = std::make_unique<TForm4>(*forms->form1);
  forms->form5 = std::make_unique<TForm5>();
  forms->form6 = std::make_unique<TForm6>();
  auto* centring = new CentreOverOwner(forms->form1.get());
  for (QWidget* window : std::initializer_list<QWidget*>{forms->form2.get(), forms->form4.get(),
                                                         forms->form5.get(), forms->form6.get()}) {
    OwnWindow(forms->form1.get(), window, centring);
  }
  forms->form1->setPeers(
      {forms->form2.get(), forms->form4.get(), forms->form5.get(), forms->form6.get()});
  return forms;
}

}  // namespace orv
