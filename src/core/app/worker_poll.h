#pragma once
// The main window's side of the worker: the running job, the poll rule of its progress bar, and
// the access points and suggested addresses adopted from the last successful read.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "core/app/worker_run.h"
#include "core/hostnet/temporary_address.h"

namespace orv {

// What the worker poll tells its owner at one tick.
enum class WorkerPoll {
  Idle,        // no job (or the thread cannot be tested): stop polling
  Waiting,     // keep polling
  TimedOut,    // still running at the end of the bar: results will be ignored
  ReadOk,      // read ended; record and results adopted
  ReadFailed,  // read ended with a failure (lastError tells -8 apart)
  SaveOk,
  SaveFailed,
};
std::string_view to_string(WorkerPoll poll);

class CameraJobs {
 public:
  static constexpr int kReadThreshold = 950;
  static constexpr int kSaveThreshold = 900;
  static constexpr int kEndOfBar = 1000;

  // Forgets the adopted results and starts mode 1 on a copy of the record. The finder owns what
  // it searches with, so a read that times out may finish after its window has gone.
  void StartRead(const SessionRecord& session, FreeAddressFinder findFree);
  // Mode 6 when useWps is 1, else mode 3.
  void StartSave(const SessionRecord& session);
  // Any procedure, for the above and for tests.
  void Start(WorkerJob job, JobProcedure procedure);

  // One worker-poll tick with the bar at position. Moves the bar; above the threshold of the job's
  // mode tests the thread without waiting. A job that ended copies its record back into session;
  // after a successful read its results are adopted. At the end of the bar a running job is
  // discarded.
  WorkerPoll Poll(int& position, SessionRecord& session);

  bool Running() const { return m_run != nullptr; }
  // Has the running job's thread finished? (False when there is none.) Never waits.
  bool JobEnded() const { return m_run != nullptr && m_run->Ended(); }
  int lastError() const { return m_lastError; }
  const std::vector<AccessPointEntry>& accessPoints() const { return m_accessPoints; }
  const std::vector<std::uint32_t>& suggestedAddresses() const { return m_suggested; }
  // ARP requests that failed while the adopted addresses were looked for.
  int failedArpRequests() const { return m_failedArpRequests; }
  // The rescan of the access points replaces the adopted list.
  void SetAccessPoints(std::vector<AccessPointEntry> list) { m_accessPoints = std::move(list); }
  void ForgetAdopted();

 private:
  std::unique_ptr<WorkerRun> m_run;
  std::vector<AccessPointEntry> m_accessPoints;
  std::vector<std::uint32_t> m_suggested;
  int m_failedArpRequests = 0;
  int m_lastError = 0;
};

}  // namespace orv
