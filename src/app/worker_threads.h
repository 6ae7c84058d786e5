#pragma once
// The worker threads a window starts: one thread per run of a job, released
// when it ends. The window keeps count so that it can wait for them before it
// closes.

#include <QObject>
#include <functional>

namespace orv {

class WorkerThreads : public QObject {
  Q_OBJECT

 public:
  explicit WorkerThreads(QObject* parent = nullptr);
  ~WorkerThreads() override;

  // Runs `job` on a new thread. `whenDone`, if given, runs on the UI thread
  // after the job has returned.
  void start(std::function<void()> job, std::function<void()> whenDone = {});

  int running() const { return running_; }

  // Waits until every worker has ended, keeping the window's events flowing
  // (a worker may be waiting for the UI thread).
  void waitForAll();

 private:
  int running_ = 0;
};

}  // namespace orv
