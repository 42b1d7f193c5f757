#include "core/app/worker_run.h"

#include <utility>

namespace orv {

namespace {

std::function<WorkerJob()> Bind(WorkerJob job, JobProcedure procedure) {
  return [job = std::move(job), procedure = std::move(procedure)]() mutable {
    if (procedure) procedure(job);
    return std::move(job);
  };
}

}  // namespace

WorkerRun::WorkerRun(WorkerJob job, JobProcedure procedure, std::function<void()> onEnded)
    : m_mode(job.mode), m_call(Bind(std::move(job), std::move(procedure)), std::move(onEnded)) {}

}  // namespace orv
