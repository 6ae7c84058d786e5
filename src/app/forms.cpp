#include "app/forms.h"

#include "app/tform1.h"
#include "app/tform2.h"
#include "app/tform4.h"
#include "app/tform5.h"
#include "app/tform6.h"

namespace orv {

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
  forms->form1->setPeers(
      {forms->form2.get(), forms->form4.get(), forms->form5.get(), forms->form6.get()});
  return forms;
}

}  // namespace orv
