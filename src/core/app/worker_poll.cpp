#include "core/app/worker_poll.h"

#include <utility>

#include "core/app/session_rules.h"

namespace orv {

std::string_view to_string(WorkerPoll poll) {
  switch (poll) {
    case WorkerPoll::Idle:
      return "idle";
    case WorkerPoll::Waiting:
      return "waiting";
    case WorkerPoll::TimedOut:
      return "timed-out";
    case WorkerPoll::ReadOk:
      return "read-ok";
    case WorkerPoll::ReadFailed:
      return "read-failed";
    case WorkerPoll::SaveOk:
      return "save-ok";
    case WorkerPoll::SaveFailed:
      return "save-failed";
  }
  return "unknown";
}

void CameraJobs::StartRead(const SessionRecord& session, FreeAddressFinder findFree) {
  ForgetAdopted();
  WorkerJob job;
  job.mode = kModeRead;
  job.session = session;
  Start(std::move(job),
        [findFree = std::move(findFree)](WorkerJob& j) { RunReadAllJob(j, findFree); });
}

void CameraJobs::StartSave(const SessionRecord& session) {
  WorkerJob job;
  job.mode = session.useWps == 1 ? kModeSaveWps : kModeSave;
  job.session = session;
  Start(std::move(job), [](WorkerJob& j) { RunWorkerJob(j, nullptr); });
}

void CameraJobs::Start(WorkerJob job, JobProcedure procedure) {
  job.done = 0;
  job.ok = 0;
  // A run still going from an earlier time-out keeps its own state and is simply let go.
  m_run = std::make_unique<WorkerRun>(std::move(job), std::move(procedure));
}

WorkerPoll CameraJobs::Poll(int& position, SessionRecord& session) {
  if (!m_run) return WorkerPoll::Idle;
  const int p = position;
  const bool reading = m_run->mode() == kModeRead;
  if (p <= (reading ? kReadThreshold : kSaveThreshold)) {
    position = p + 10;
    return WorkerPoll::Waiting;
  }
  if (!m_run->Ended()) {
    position = p + 10;
    if (p < kEndOfBar) return WorkerPoll::Waiting;
    m_run.reset();  // late results are never looked at
    return WorkerPoll::TimedOut;
  }
  std::optional<WorkerJob> job = m_run->TakeResults();
  m_run.reset();
  if (!job) return WorkerPoll::Idle;
  // The pages read before a failure stay in the record, as when the worker wrote it directly; only
  // the fields the job owns come back.
  CopyCallFields(reading ? CallFields::ReadJob : CallFields::SaveJob, job->session, session);
  m_lastError = job->error;
  if (reading) {
    if (job->ok != 1) return WorkerPoll::ReadFailed;
    m_accessPoints = std::move(job->accessPoints);
    m_suggested = std::move(job->suggestedAddresses);
    m_failedArpRequests = job->failedArpRequests;
    return WorkerPoll::ReadOk;
  }
  return job->ok == 1 ? WorkerPoll::SaveOk : WorkerPoll::SaveFailed;
}

void CameraJobs::ForgetAdopted() {
  m_accessPoints.clear();
  m_suggested.clear();
  m_failedArpRequests = 0;
}

}  // namespace orv
