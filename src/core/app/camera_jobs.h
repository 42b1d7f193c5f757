#pragma once
// The long camera work: the login step, the read-all and save jobs, the worker thread that runs a
// job on its own copy of the session record, and the re-find of a camera after a save.
//
// A job never touches the owner's record: it works on the copy it was started with, and the owner
// copies the results back only when the job ends in time. A job that times out is discarded; its
// late writes land in its own copy and nowhere else. connectAllowed is shared by all copies, so
// clearing it at shut-down still reaches a pending connect.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/model/session_record.h"
#include "core/camera_http/requests.h"
#include "core/discovery/camera_entry.h"
#include "core/hostnet/temporary_address.h"

namespace orv {

inline constexpr int kModeRead = 1;     // read after login
inline constexpr int kModeSave = 3;     // save
inline constexpr int kModeSaveWps = 6;  // save in WPS mode (no wireless keys)

struct WorkerJob {
  int mode = kModeRead;
  SessionRecord session;                          // the job's own copy
  std::vector<AccessPointEntry> accessPoints;     // the scan of a read, when the camera has one
  std::vector<std::uint32_t> suggestedAddresses;  // network byte order, highest first
  std::uint8_t done = 0;
  std::uint8_t ok = 0;
  int error = 0;  // the failing request's code; 0 for a failed scan
};

// The job procedures. Each sets done, ok and error. The finder (the ARP search of the PC's subnet)
// is injected so that only the product, on a real network, sends probes; an empty one skips it.
void RunReadAllJob(WorkerJob& job, const FreeAddressFinder& findFree);
void RunSaveJob(WorkerJob& job);
void RunWpsSaveJob(WorkerJob& job);
void RunWorkerJob(WorkerJob& job, const FreeAddressFinder& findFree);  // by job.mode

// ---- Login step

struct Credentials {
  std::string userName = "root";
  std::string password;
};

// Stands in for the root login dialog; asked at most once. A cancelled dialog answers "root" and
// an empty password, which is what an empty prompt gives as well.
using CredentialsPrompt = std::function<Credentials()>;

struct LoginOutcome {
  bool ok = false;                  // go on with the read-all job
  bool askedCredentials = false;    // the camera refused the empty credentials
  bool credentialsTooLong = false;  // refused without sending: they do not fit the 63-byte fields
  int result = 0;  // the third system read, or the login read when credentials were asked
};

// Clears the credentials, sends the system read three times (the last result counts) and, when the
// camera answers "Unauthorized", asks for credentials and sends the login read once.
LoginOutcome RunLoginStep(SessionRecord& session, const CredentialsPrompt& prompt);

// ---- The worker thread

using JobProcedure = std::function<void(WorkerJob&)>;

// One job on one std::thread. Destroying a run that has not ended leaves the thread to finish on
// its own (it is not waited for); its results are freed by the thread itself.
class WorkerRun {
 public:
  WorkerRun(WorkerJob job, JobProcedure procedure);
  ~WorkerRun();
  WorkerRun(const WorkerRun&) = delete;
  WorkerRun& operator=(const WorkerRun&) = delete;

  int mode() const { return mode_; }
  // Has the thread finished its procedure? Never waits.
  bool Ended() const;
  // The job with its results, once the run has ended; std::nullopt before that or when taken.
  std::optional<WorkerJob> TakeResults();

 private:
  struct State {
    WorkerJob job;
    JobProcedure procedure;
    std::atomic<bool> ended{false};
    bool taken = false;
  };
  int mode_;
  std::shared_ptr<State> state_;
  std::thread thread_;
};

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

// The main window's side: the running job, and the access points and suggested addresses adopted
// from the last successful read.
class CameraJobs {
 public:
  static constexpr int kReadThreshold = 950;
  static constexpr int kSaveThreshold = 900;
  static constexpr int kEndOfBar = 1000;

  // Forgets the adopted results and starts mode 1 on a copy of the record.
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

  bool Running() const { return run_ != nullptr; }
  // Has the running job's thread finished? (False when there is none.) Never waits.
  bool JobEnded() const { return run_ != nullptr && run_->Ended(); }
  int lastError() const { return lastError_; }
  const std::vector<AccessPointEntry>& accessPoints() const { return accessPoints_; }
  const std::vector<std::uint32_t>& suggestedAddresses() const { return suggested_; }
  // The rescan of the access points replaces the adopted list.
  void SetAccessPoints(std::vector<AccessPointEntry> list) { accessPoints_ = std::move(list); }
  void ForgetAdopted();

 private:
  std::unique_ptr<WorkerRun> run_;
  std::vector<AccessPointEntry> accessPoints_;
  std::vector<std::uint32_t> suggested_;
  int lastError_ = 0;
};

// ---- After a save

// Looks among freshly discovered rows for the one whose cam_id equals cameraSerial; on a match
// takes its address and port into the record and returns the row's index. An empty serial matches
// nothing.
std::optional<std::size_t> RefindCamera(SessionRecord& session, std::span<const CameraEntry> rows);

// ---- Camera fields by name (the command-line tool's JSON and its --set)

// Sets one field from "Name=Value": numeric fields take a decimal number within their width, text
// fields a value that fits. Camera settings and the user's choice flags can be set; credentials
// cannot. False with a reason on a bad name or value; the record is then unchanged.
bool ApplyFieldAssignment(SessionRecord& session, std::string_view assignment, std::string* error);

// Every camera field as "Name": value in record order. userName and password are present and always
// empty. Texts are the camera's 8-bit bytes: dump with the replacing error handler.
nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session);

}  // namespace orv
