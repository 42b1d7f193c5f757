#include "core/app/worker_job.h"

#include <iterator>
#include <span>
#include <string>
#include <utility>

#include "core/app/camera_clock.h"
#include "core/camera_http/model_catalogue.h"

namespace orv {

namespace {

void Fail(WorkerJob& job, int code) {
  job.ok = 0;
  job.error = code;
  job.done = 1;
}

void Succeed(WorkerJob& job) {
  job.ok = 1;
  job.error = 0;
  job.done = 1;
}

struct Request {
  int act;
  int page;
  int subPage;
};

void Note(const WorkerJob& job, std::string_view step) {
  if (job.onStep) job.onStep(step);
}

// Sends the requests in order, noting each as "<verb> page k of total" counted from first; the
// first non-zero code fails the job.
bool RunAll(WorkerJob& job, std::span<const Request> requests, std::string_view verb = "",
            int first = 1, int total = 0) {
  for (const Request& r : requests) {
    if (!verb.empty()) {
      Note(job,
           std::string(verb) + " page " + std::to_string(first++) + " of " + std::to_string(total));
    }
    const int code = CameraRequest(job.session, r.act, r.page, r.subPage);
    if (code != Ok) {
      Fail(job, code);
      return false;
    }
  }
  return true;
}

}  // namespace

void RunReadAllJob(WorkerJob& job, const FreeAddressFinder& findFree) {
  job.done = 0;
  job.ok = 0;
  job.error = 0;
  SessionRecord& s = job.session;
  static constexpr Request kReads[] = {
      {kActRead, kPageVersion, 0}, {kActRead, kPageSystem, 0},          {kActRead, kPageNetwork, 0},
      {kActRead, kPageDdns, 0},    {kActRead, kPageTime, kSubPageTime},
  };
  if (!RunAll(job, kReads, "reading", 1, static_cast<int>(std::size(kReads)))) return;
  // The time page was the last read: its Date and Time are the camera's clock about now.
  NoteClockTaken(s);

  ClassifyModel(s);

  if (s.extendedCgi == 1) {
    static constexpr Request kCapabilities[] = {{kActRead, kPageCapabilities, 0}};
    Note(job, "reading the capabilities page");
    if (!RunAll(job, kCapabilities)) return;
    if (s.sys.wirelessCapable == 1) {
      Note(job, "scanning for wireless networks");
      job.accessPoints.clear();
      s.apScanOk = 0;
      if (auto list = ScanAccessPoints(s)) job.accessPoints = std::move(*list);
      if (s.apScanOk != 1) {
        Fail(job, 0);
        return;
      }
    }
  }

  if (s.extendedCgi == 1 && s.linkPppoe != 1) {
    if (findFree) Note(job, "looking for free addresses");
    FreeAddressResult found = FindFreeAddressesFromPc(findFree, s, 2);
    job.suggestedAddresses = std::move(found.addresses);
    job.failedArpRequests = found.failedRequests;
  }
  Succeed(job);
}

void RunSaveJob(WorkerJob& job) {
  job.done = 0;
  job.ok = 0;
  job.error = 0;
  static constexpr Request kWrites[] = {{kActWrite, kPageSystem, 0}, {kActWrite, kPageDdns, 0}};
  if (!RunAll(job, kWrites, "writing", 1, 4)) return;
  // A date and time read or taken earlier are moved on to now, so the write does not set the
  // camera's clock back.
  AdvanceClockToNow(job.session);
  static constexpr Request kTimeWrite[] = {{kActWrite, kPageTime, kSubPageTime}};
  if (!RunAll(job, kTimeWrite, "writing", 3, 4)) return;
  Note(job, "writing page 4 of 4, then waiting for the camera");
  const int code = CameraRequest(job.session, kActWrite, kPageNetwork, 0);
  if (!NetworkWriteCountsAsSaved(code)) {
    Fail(job, code);
    return;
  }
  Succeed(job);
}

bool NetworkWriteCountsAsSaved(int code) {
  return code == Ok || code == ErrNoResponse || code == ErrNoNetworkData;
}

void RunWpsSaveJob(WorkerJob& job) {
  job.done = 0;
  job.ok = 0;
  job.error = 0;
  // The clock is read back rather than written; the short network write leaves the keys alone.
  static constexpr Request kSteps[] = {{kActWrite, kPageSystem, 0},
                                       {kActWrite, kPageDdns, 0},
                                       {kActRead, kPageTime, kSubPageTime},
                                       {kActWrite, kPageNetwork, kSubPageShortNetwork}};
  if (!RunAll(job, kSteps, "writing", 1, static_cast<int>(std::size(kSteps)))) return;
  Succeed(job);
}

void RunWorkerJob(WorkerJob& job, const FreeAddressFinder& findFree) {
  switch (job.mode) {
    case kModeRead:
      RunReadAllJob(job, findFree);
      return;
    case kModeSave:
      RunSaveJob(job);
      return;
    case kModeSaveWps:
      RunWpsSaveJob(job);
      return;
    default:
      Fail(job, 0);
      return;
  }
}

}  // namespace orv
