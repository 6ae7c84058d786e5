#include "app/worker_threads.h"

#include <QCoreApplication>
#include <QThread>

namespace orv {

WorkerThreads::WorkerThreads(QObject* parent) : QObject(parent) {}

WorkerThreads::~WorkerThreads() { waitForAll(); }

void WorkerThreads::start(std::function<void()> job, std::function<void()> whenDone) {
  QThread* thread = QThread::create(std::move(job));
  ++running_;
  connect(thread, &QThread::finished, this, [this, thread, whenDone = std::move(whenDone)] {
    --running_;
    thread->deleteLater();
    if (whenDone) whenDone();
  });
  thread->start();
}

void WorkerThreads::waitForAll() {
  while (running_ > 0) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
}

}  // namespace orv
