#include "camera_batch.h"

#include <cstdio>
#include <cstdlib>

#include "camera_reach.h"
#include "core/app/camera_pick.h"
#include "core/app/login_step.h"
#include "core/app/plan.h"
#include "core/app/refind.h"
#include "core/app/startup_facts.h"
#include "core/camera_http/requests.h"
#include "core/discovery/camera_lookup.h"
#include "core/discovery/plipf.h"
#include "core/hostnet/signal_cleanup.h"
#include "core/util/ipv4.h"
#include "output.h"
#include "progress.h"

namespace orv::cli {

namespace {

constexpr std::size_t kPasswordFileLimit = 4096;

}  // namespace

std::vector<CameraEntry> DiscoverBatch(std::chrono::milliseconds quiet,
                                       std::chrono::milliseconds limit) {
  CPLipf engine(DiscoveryEnvironment::System());
  return DiscoverUntilQuiet(engine, quiet, limit);
}

std::string StepFailure(const SessionRecord& s, FailedStep step, int code, bool passwordGiven) {
  FailureFacts facts;
  facts.step = step;
  facts.result = code;
  facts.legacyFamily = s.legacyCamera == 1;
  facts.origin = FamilyOrigin::Discovery;
  facts.passwordGiven = passwordGiven;
  const std::string camera = s.cameraAddrText.str() + ":" + s.cameraPortText.str();
  facts.camera = camera;
  return FailureSentence(facts);
}

std::vector<std::size_t> SubnetsInTurn(const std::vector<std::uint32_t>& addresses) {
  std::map<std::uint32_t, std::vector<std::size_t>> bySubnet;
  for (std::size_t i = 0; i < addresses.size(); ++i) {
    bySubnet[addresses[i] & ParseIpv4OrZero("255.255.255.0")].push_back(i);
  }
  std::vector<std::size_t> order;
  for (std::size_t round = 0; order.size() < addresses.size(); ++round) {
    for (const auto& [subnet, members] : bySubnet)
      if (round < members.size()) order.push_back(members[round]);
  }
  return order;
}

bool ReadPasswordFile(const std::string& path, bool allowOthers, std::string& password,
                      std::string& error) {
  std::string text;
  if (!ReadPrivateFile(path, kPasswordFileLimit, allowOthers, text, error)) return false;
  password = text.substr(0, text.find('\n'));
  if (!password.empty() && password.back() == '\r') password.pop_back();
  return true;
}

CameraBatch::CameraBatch(const std::string& adapter, int jobs, bool progress)
    : m_jobs(jobs), m_progress(progress) {
  m_net = CreateHostNetwork(OptionsWithAdapter(adapter));
  if (!CheckAdapterName(*m_net, adapter)) return;
  TemporaryAddressOwner::Options oo;
  oo.lifetime = OptionsWithAdapter(adapter).addressLifetime;
  // The batch hooks the signals itself: a running save must finish before its address goes.
  oo.installSignalHook = false;
  m_owner = std::make_unique<TemporaryAddressOwner>(m_net, oo);
  SignalCleanup::Install(
      [this](int signo) {
        if (m_stop.exchange(true)) {
          m_owner->Close();
          std::_Exit(128 + signo);
        }
        m_signal = signo;
      },
      false);
  m_ready = true;
}

CameraBatch::~CameraBatch() {
  if (m_ready) SignalCleanup::Disarm();
  if (m_owner) m_owner->Close();
}

void CameraBatch::Run(const std::vector<std::size_t>& order,
                      const std::function<void(std::size_t)>& work,
                      const std::function<void(std::size_t)>& notStarted) {
  const std::size_t count = order.size();
  m_total = count;
  m_start = std::chrono::steady_clock::now();
  if (m_progress) {
    m_ticking = true;
    m_ticker = std::thread([this] {
      while (m_ticking) {
        ShowProgressLine();
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
      }
    });
  }
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> workers;
  const auto loop = [&] {
    for (std::size_t k = next++; k < count; k = next++) {
      const std::size_t i = order[k];
      if (m_stop) {
        notStarted(i);
      } else {
        work(i);
      }
      std::lock_guard lock(m_stateMutex);
      ++m_finished;
    }
  };
  const std::size_t threads = std::min<std::size_t>(static_cast<std::size_t>(m_jobs), count);
  for (std::size_t t = 0; t < threads; ++t) workers.emplace_back(loop);
  for (std::thread& w : workers) w.join();
  if (m_ticker.joinable()) {
    m_ticking = false;
    m_ticker.join();
  }
  ClearProgress();
  // The report ends with every address gone.
  if (m_owner) m_owner->RemoveAll();
}

void CameraBatch::SetStep(std::size_t i, const std::string& camera, const std::string& step) {
  std::lock_guard lock(m_stateMutex);
  if (step.empty()) {
    m_running.erase(i);
  } else {
    m_running[i] = {camera, step};
  }
}

void CameraBatch::ShowProgressLine() {
  std::string line;
  {
    std::lock_guard lock(m_stateMutex);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - m_start)
            .count();
    line = std::to_string(m_finished) + "/" + std::to_string(m_total) + " done, " +
           std::to_string(seconds) + " s";
    for (const auto& [i, what] : m_running) line += " | " + what.first + " " + what.second;
  }
  // One terminal line: the rest would wrap and leave copies behind.
  if (line.size() > 150) line = line.substr(0, 147) + "...";
  if (m_stop) line = "stopping: " + line;
  ShowProgress(line);
}

void CameraBatch::Report(const std::string& line) {
  std::lock_guard lock(m_stateMutex);
  ClearProgress();
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void CameraBatch::ReachSubnet(const SessionRecord& s) {
  const std::uint32_t subnet = s.cameraAddr & ParseIpv4OrZero("255.255.255.0");
  std::shared_ptr<std::mutex> step;
  {
    std::lock_guard lock(m_subnetMutex);
    auto& m = m_subnets[subnet];
    if (!m) m = std::make_shared<std::mutex>();
    step = m;
  }
  std::lock_guard stepLock(*step);
  {
    std::lock_guard lock(m_subnetMutex);
    if (m_subnetDone[subnet]) return;
    m_subnetDone[subnet] = true;
  }
  if (InPcSubnet(*m_net, s.cameraAddr)) return;
  SessionRecord probe;
  ReadStartupFacts(*m_net, probe, nullptr, TraceLine);
  probe.cameraAddr = s.cameraAddr;
  if (!m_net->AdapterOverridden()) probe.cameraIfIndex = s.cameraIfIndex;
  probe.connectAllowed.store(1);
  const EnsureResult r = m_owner->Ensure(probe, SubnetStepOptions());
  if (r.outcome != EnsureOutcome::Added && r.outcome != EnsureOutcome::AlreadyReachable) {
    TraceLine("orvantis-cli: no address in the subnet of " + FormatIpv4(s.cameraAddr) + " (" +
              std::string(to_string(r.outcome)) + ")\n");
  }
}

CameraRead CameraBatch::OpenAndRead(std::size_t i, const CameraEntry& row, const std::string& user,
                                    const std::string& password, WorkerJob& job) {
  CameraRead result;
  SessionRecord& s = job.session;
  const std::string camera = std::string(row.ip.view());
  if (PrepareSession(s, row.ip.view(), row.port.view(), row.desc.view(), row.cam_id.view()) !=
      PickProblem::None) {
    result.unreachable = true;
    result.message = "its discovery reply holds no usable address or port";
    return result;
  }
  s.cameraIfIndex = row.ifIndex;
  s.connectAllowed.store(1);
  SetStep(i, camera, "reaching its subnet");
  ReachSubnet(s);
  const auto fail = [&](FailedStep step, const char* name, int code) {
    result.step = name;
    result.message = StepFailure(s, step, code, !password.empty());
    result.unreachable = code == ErrConnect || code == ErrNoResponse;
    return result;
  };
  const auto stopped = [&](const char* name) {
    result.step = name;
    result.stopped = true;
    result.message = "Ctrl-C came first; nothing was written";
    return result;
  };
  if (m_stop) return stopped("login");
  SetStep(i, camera, "logging in");
  const LoginOutcome login = RunLoginStep(s, [&] { return Credentials{user, password}; });
  if (!login.ok) return fail(FailedStep::Login, "login", login.result);
  if (m_stop) return stopped("read");
  SetStep(i, camera, "reading");
  job.mode = kModeRead;
  job.onStep = nullptr;
  RunReadAllJob(job, FreeAddressFinder{});
  if (job.ok != 1) return fail(FailedStep::Read, "read", job.error);
  result.ok = true;
  return result;
}

std::optional<CameraEntry> CameraBatch::Refind(const SessionRecord& s, const std::string& mac,
                                               std::chrono::milliseconds wait) {
  const auto end = std::chrono::steady_clock::now() + wait;
  do {
    std::vector<CameraEntry> rows;
    const auto asked = std::chrono::steady_clock::now();
    {
      std::lock_guard lock(m_refindMutex);
      // A discovery that started after this worker asked has answered for it too.
      if (m_refindStarted < asked) {
        m_refindStarted = std::chrono::steady_clock::now();
        m_refindRows =
            DiscoverBatch(std::chrono::milliseconds(300), std::chrono::milliseconds(1500));
      }
      rows = m_refindRows;
    }
    SessionRecord copy = s;
    if (const auto at = RefindCamera(copy, rows)) return rows[*at];
    for (const CameraEntry& row : rows) {
      if (NormaliseMac(row.mac.view()) == mac) return row;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  } while (std::chrono::steady_clock::now() < end && !m_stop);
  return std::nullopt;
}

}  // namespace orv::cli
