#pragma once
// The jobs the worker thread runs: the read-all after login, the save and the save in WPS mode.
// A job works on its own copy of the session record and reports through its job record.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "core/camera_http/requests.h"
#include "core/hostnet/temporary_address.h"
#include "core/model/session_record.h"

namespace orv {

inline constexpr int kModeRead = 1;     // read after login
inline constexpr int kModeSave = 3;     // save
inline constexpr int kModeSaveWps = 6;  // save in WPS mode (no wireless keys)

struct WorkerJob {
  int mode = kModeRead;
  SessionRecord session;                          // the job's own copy
  std::vector<AccessPointEntry> accessPoints;     // the scan of a read, when the camera has one
  std::vector<std::uint32_t> suggestedAddresses;  // network byte order, highest first
  int failedArpRequests = 0;                      // of the search for suggestedAddresses
  std::uint8_t done = 0;
  std::uint8_t ok = 0;
  int error = 0;  // the failing request's code; 0 for a failed scan
  // Told what the job starts next ("reading page 2 of 5"), for a progress line; may be empty.
  std::function<void(std::string_view)> onStep;
};

// The job procedures. Each sets done, ok and error. The finder (the ARP search of the PC's subnet)
// is injected so that only the product, on a real network, sends probes; an empty one skips it.
void RunReadAllJob(WorkerJob& job, const FreeAddressFinder& findFree);
void RunSaveJob(WorkerJob& job);
// The save's final network write counts as saved when it succeeded or went unanswered (no answer,
// or one without data): the camera may move to its new address first. Every other code, a failed
// connect or send included, is a save that did not happen.
bool NetworkWriteCountsAsSaved(int code);
void RunWpsSaveJob(WorkerJob& job);
void RunWorkerJob(WorkerJob& job, const FreeAddressFinder& findFree);  // by job.mode

}  // namespace orv
