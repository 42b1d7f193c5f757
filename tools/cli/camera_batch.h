#pragma once
// Work on many cameras at once for apply and audit: one discovery, a pool of up to 16 workers,
// one temporary address per subnet shared by its cameras, a progress line on a terminal, and
// Ctrl-C: no camera is started after it, the running ones end at their next step (a save under
// way finishes), and every address is removed before the report ends. A second Ctrl-C removes
// the addresses and ends at once.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/app/failure_sentence.h"
#include "core/app/worker_job.h"
#include "core/discovery/camera_entry.h"
#include "core/hostnet/temporary_address_owner.h"
#include "core/model/session_record.h"
#include "core/platform/host_network.h"

namespace orv::cli {

inline constexpr int kDefaultJobs = 4;
inline constexpr int kMaxJobs = 16;

// Lists the cameras that answer until none new answered for quiet (at most limit).
std::vector<CameraEntry> DiscoverBatch(std::chrono::milliseconds quiet,
                                       std::chrono::milliseconds limit);

// The cameras' indexes with the subnets taking turns (one of the first subnet, one of the next,
// ...), so that the workers' subnet steps and save waits overlap instead of queueing. Addresses
// in network order; 0 for a camera without one.
std::vector<std::size_t> SubnetsInTurn(const std::vector<std::uint32_t>& addresses);

// The first line of a password file that other users cannot read (unless allowed). False with a
// message in error.
bool ReadPasswordFile(const std::string& path, bool allowOthers, std::string& password,
                      std::string& error);

// A failed camera step in one sentence, as the single-camera commands say it.
std::string StepFailure(const SessionRecord& s, FailedStep step, int code, bool passwordGiven);

// How far one camera got, for its report line.
struct CameraRead {
  bool ok = false;
  bool unreachable = false;  // no answer at all
  bool stopped = false;      // Ctrl-C came before the next step
  std::string step;          // "login" or "read" when it failed
  std::string message;       // the failure in words
};

class CameraBatch {
 public:
  CameraBatch(const std::string& adapter, int jobs, bool progress);
  ~CameraBatch();
  CameraBatch(const CameraBatch&) = delete;
  CameraBatch& operator=(const CameraBatch&) = delete;

  // False (after a message) for an unknown --adapter.
  bool Ready() const { return m_ready; }

  // Runs work(i) for every i of order on up to jobs threads, in that order. After Ctrl-C no
  // further i is started: notStarted(i) is called for each instead.
  void Run(const std::vector<std::size_t>& order, const std::function<void(std::size_t)>& work,
           const std::function<void(std::size_t)>& notStarted);

  bool Stopped() const { return m_stop.load(); }
  int Signal() const { return m_signal.load(); }

  // The step camera i is in, for the progress line; an empty step ends its part in it.
  void SetStep(std::size_t i, const std::string& camera, const std::string& step);
  // One finished camera's report line (on standard output).
  void Report(const std::string& line);

  // The camera's connection items from its discovery row, its subnet reached (once per subnet),
  // login and the read-all job. False with the reason in result.
  CameraRead OpenAndRead(std::size_t i, const CameraEntry& row, const std::string& user,
                         const std::string& password, WorkerJob& job);

  // The camera found again after a save, by serial number or else MAC; nothing after wait.
  std::optional<CameraEntry> Refind(const SessionRecord& s, const std::string& mac,
                                    std::chrono::milliseconds wait);

 private:
  void ReachSubnet(const SessionRecord& s);
  void ShowProgressLine();

  bool m_ready = false;
  int m_jobs = kDefaultJobs;
  bool m_progress = false;
  std::shared_ptr<HostNetwork> m_net;
  std::unique_ptr<TemporaryAddressOwner> m_owner;
  // One subnet step per subnet; steps of different subnets run side by side.
  std::mutex m_subnetMutex;
  std::map<std::uint32_t, std::shared_ptr<std::mutex>> m_subnets;
  std::map<std::uint32_t, bool> m_subnetDone;
  // One re-find discovery at a time; a worker that waited for it takes its rows.
  std::mutex m_refindMutex;
  std::vector<CameraEntry> m_refindRows;
  std::chrono::steady_clock::time_point m_refindStarted{};
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_signal{0};

  std::mutex m_stateMutex;
  std::map<std::size_t, std::pair<std::string, std::string>> m_running;  // camera, step
  std::size_t m_total = 0;
  std::size_t m_finished = 0;
  std::chrono::steady_clock::time_point m_start;
  std::atomic<bool> m_ticking{false};
  std::thread m_ticker;
};

}  // namespace orv::cli
