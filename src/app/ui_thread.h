#pragma once
// How a worker has something done on the UI thread.

#include <functional>

class QObject;

namespace orv {

// Runs `call` on the thread of `context` and returns when it has run; runs it
// at once when called on that thread already.
void RunOnUiThread(QObject* context, const std::function<void()>& call);

// Queues `call` to run on the thread of `context` and returns at once.
void PostToUiThread(QObject* context, std::function<void()> call);

}  // namespace orv
