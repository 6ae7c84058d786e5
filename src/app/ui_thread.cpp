#include "app/ui_thread.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace orv {

void RunOnUiThread(QObject* context, const std::function<void()>& call) {
  if (QThread::currentThread() == context->thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(context, call, Qt::BlockingQueuedConnection);
}

void PostToUiThread(QObject* context, std::function<void()> call) {
  QMetaObject::invokeMethod(context, std::move(call), Qt::QueuedConnection);
}

}  // namespace orv
