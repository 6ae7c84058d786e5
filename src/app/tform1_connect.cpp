// Connecting to the phone: btn1 "连接好USB线后请点击" starts the connection,
// root check and survey worker.

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>

#include "app/connect_view_gui.h"
#include "app/log_model.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "device/tconnect.h"

namespace orv {

void TForm1::btn1Click() {
  if (connectRunning_ || peers_.form2 == nullptr) return;
  connectRunning_ = true;
  peers_.form2->mmo1->clear();
  peers_.form2->lv1->clear();
  tv2->clear();
  lv3->clear();
  logModel_->clear();
  if (!connectView_)
    connectView_ = std::make_unique<MainWindowConnectView>(*this, *peers_.form2,
                                                           static_cast<PreviewView&>(*views_));
  auto worker = std::make_shared<Tconnect>(ConnectSettings{}, *connectView_);
  auto outcome = std::make_shared<SurveyOutcome>(SurveyOutcome::kStepFailed);
  startWorker([worker, outcome] { *outcome = worker->run(); },
              [this, outcome] {
                connectRunning_ = false;
                // The survey is done: the user picks what to image next.
                if (*outcome == SurveyOutcome::kCompleted) showOnlyPage(ts1);
              });
}

}  // namespace orv
