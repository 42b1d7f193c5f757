#pragma once
// One job on one thread of its own. The thread owns the job's copy of everything it touches, so a
// run may outlive its owner: destroying a run that has not ended does not wait for it, and the
// thread frees its results when it finishes.

#include <functional>
#include <optional>

#include "core/app/async_call.h"
#include "core/app/worker_job.h"

namespace orv {

using JobProcedure = std::function<void(WorkerJob&)>;

class WorkerRun {
 public:
  // Starts procedure on job at once. onEnded, when given, runs on the job's thread after it ends.
  WorkerRun(WorkerJob job, JobProcedure procedure, std::function<void()> onEnded = {});

  int mode() const { return m_mode; }
  // Has the thread finished its procedure? Never waits.
  bool Ended() const { return m_call.Ended(); }
  // The job with its results, once the run has ended; std::nullopt before that or when taken.
  std::optional<WorkerJob> TakeResults() { return m_call.Take(); }

 private:
  int m_mode;
  AsyncCall<WorkerJob> m_call;
};

}  // namespace orv
