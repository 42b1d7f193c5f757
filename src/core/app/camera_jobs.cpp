#include "core/app/camera_jobs.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>

#include "core/camera_http/model_catalogue.h"
#include "core/util/ipv4.h"

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

// Sends the requests in order; the first non-zero code fails the job.
bool RunAll(WorkerJob& job, std::span<const Request> requests) {
  for (const Request& r : requests) {
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
  if (!RunAll(job, kReads)) return;

  ClassifyModel(s);

  if (s.extendedCgi == 1) {
    static constexpr Request kCapabilities[] = {{kActRead, kPageCapabilities, 0}};
    if (!RunAll(job, kCapabilities)) return;
    if (s.sys.wirelessCapable == 1) {
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
    job.suggestedAddresses = FindFreeAddressesFromPc(findFree, s, 2);
  }
  Succeed(job);
}

void RunSaveJob(WorkerJob& job) {
  job.done = 0;
  job.ok = 0;
  job.error = 0;
  static constexpr Request kWrites[] = {
      {kActWrite, kPageSystem, 0}, {kActWrite, kPageDdns, 0}, {kActWrite, kPageTime, kSubPageTime}};
  if (!RunAll(job, kWrites)) return;
  // The camera may move to its new address before it answers the network write, so its result is
  // not held against the save; a refusal of the credentials is, or a refused save would look saved.
  const int code = CameraRequest(job.session, kActWrite, kPageNetwork, 0);
  if (code == ErrUnauthorized) {
    Fail(job, code);
    return;
  }
  Succeed(job);
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
  if (!RunAll(job, kSteps)) return;
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

// ---- Login step

LoginOutcome RunLoginStep(SessionRecord& session, const CredentialsPrompt& prompt) {
  LoginOutcome outcome;
  session.userName.clear();
  session.password.clear();
  int last = Ok;
  for (int i = 0; i < 3; ++i) last = CameraRequest(session, kActRead, kPageSystem, 0);
  outcome.result = last;
  if (last != ErrUnauthorized) {
    // Any other result, a failure too, goes on: the read-all job reports its own code.
    outcome.ok = true;
    return outcome;
  }
  outcome.askedCredentials = true;
  const Credentials credentials = prompt ? prompt() : Credentials{};
  // Cutting a credential to the field would send something other than what was typed.
  if (credentials.userName.size() >= decltype(session.userName)::kWidth ||
      credentials.password.size() >= decltype(session.password)::kWidth) {
    outcome.credentialsTooLong = true;
    outcome.result = ErrUnauthorized;
    return outcome;
  }
  session.userName = credentials.userName;
  session.password = credentials.password;
  outcome.result = LoginRead(session);
  outcome.ok = outcome.result == Ok;
  return outcome;
}

// ---- The worker thread

WorkerRun::WorkerRun(WorkerJob job, JobProcedure procedure)
    : mode_(job.mode), state_(std::make_shared<State>()) {
  state_->job = std::move(job);
  state_->procedure = std::move(procedure);
  // The thread keeps its own reference: a discarded run is freed when the thread finishes.
  thread_ = std::thread([state = state_] {
    if (state->procedure) state->procedure(state->job);
    state->ended.store(true, std::memory_order_release);
  });
}

WorkerRun::~WorkerRun() {
  if (!thread_.joinable()) return;
  if (Ended()) {
    thread_.join();  // only the return from the lambda is left
  } else {
    thread_.detach();
  }
}

bool WorkerRun::Ended() const {
  return state_->ended.load(std::memory_order_acquire);
}

std::optional<WorkerJob> WorkerRun::TakeResults() {
  if (!Ended() || state_->taken) return std::nullopt;
  state_->taken = true;
  return std::move(state_->job);
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
  run_ = std::make_unique<WorkerRun>(std::move(job), std::move(procedure));
}

WorkerPoll CameraJobs::Poll(int& position, SessionRecord& session) {
  if (!run_) return WorkerPoll::Idle;
  const int p = position;
  const bool reading = run_->mode() == kModeRead;
  if (p <= (reading ? kReadThreshold : kSaveThreshold)) {
    position = p + 10;
    return WorkerPoll::Waiting;
  }
  if (!run_->Ended()) {
    position = p + 10;
    if (p < kEndOfBar) return WorkerPoll::Waiting;
    run_.reset();  // late results are never looked at
    return WorkerPoll::TimedOut;
  }
  std::optional<WorkerJob> job = run_->TakeResults();
  run_.reset();
  if (!job) return WorkerPoll::Idle;
  // The pages read before a failure stay in the record, as when the worker wrote it directly.
  session = job->session;
  lastError_ = job->error;
  if (reading) {
    if (job->ok != 1) return WorkerPoll::ReadFailed;
    accessPoints_ = std::move(job->accessPoints);
    suggested_ = std::move(job->suggestedAddresses);
    return WorkerPoll::ReadOk;
  }
  return job->ok == 1 ? WorkerPoll::SaveOk : WorkerPoll::SaveFailed;
}

void CameraJobs::ForgetAdopted() {
  accessPoints_.clear();
  suggested_.clear();
}

// ---- After a save

std::optional<std::size_t> RefindCamera(SessionRecord& session, std::span<const CameraEntry> rows) {
  if (session.cameraSerial.empty()) return std::nullopt;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CameraEntry& row = rows[i];
    if (!(row.cam_id == session.cameraSerial.view())) continue;
    session.cameraAddrText = row.ip.view();
    session.cameraPortText = row.port.view();
    session.cameraAddr = ParseIpv4OrZero(session.cameraAddrText.view());
    return i;
  }
  return std::nullopt;
}

// ---- Camera fields by name

namespace {

// The camera fields in record order. f is called with the key and a reference to the field.
template <class Record, class F>
void ForEachCameraField(Record& s, F&& f) {
  auto& n = s.net;
  f("IPType", n.IPType);
  f("IPAddr", n.IPAddr);
  f("Netmask", n.Netmask);
  f("Gateway", n.Gateway);
  f("DNS1", n.DNS1);
  f("DNS2", n.DNS2);
  f("PAccount", n.PAccount);
  f("PPwd", n.PPwd);
  f("PVP", n.PVP);
  f("Wireless", n.Wireless);
  f("WireType", n.WireType);
  f("SSID", n.SSID);
  f("WireCh", n.WireCh);
  f("ChType", n.ChType);
  f("WireSec", n.WireSec);
  f("TxRate", n.TxRate);
  f("WIPType", n.WIPType);
  f("WIPAddr", n.WIPAddr);
  f("WNetmask", n.WNetmask);
  f("WGateway", n.WGateway);
  f("WDNS1", n.WDNS1);
  f("WDNS2", n.WDNS2);
  f("WPAEnc", n.WPAEnc);
  f("WPAPSKeyM", n.WPAPSKeyM);
  f("WPAKey", n.WPAKey);
  f("WEPAuthM", n.WEPAuthM);
  f("WEPMode", n.WEPMode);
  f("WEPKeyE0", n.WEPKeyE0);
  f("WepKeyL", n.WepKeyL);
  f("WEPKey0", n.WEPKey0);
  f("WEPKey1", n.WEPKey1);
  f("WEPKey2", n.WEPKey2);
  f("WEPKey3", n.WEPKey3);
  auto& y = s.sys;
  f("SECUEN", y.SECUEN);
  f("ModelName", y.ModelName);
  f("TitleBar", y.TitleBar);
  f("Desp", y.Desp);
  f("wpsCapable", y.wpsCapable);
  f("wirelessCapable", y.wirelessCapable);
  f("Transversal", y.Transversal);
  f("DDNS", y.DDNS);
  f("DDNSSrv", y.DDNSSrv);
  f("DDNSHost", y.DDNSHost);
  f("DDNSUser", y.DDNSUser);
  f("DDNSPwd", y.DDNSPwd);
  f("NTPEN", y.NTPEN);
  f("NTPName", y.NTPName);
  f("Timezone", y.Timezone);
  f("NTPPoll", y.NTPPoll);
  f("Date", y.Date);
  f("Time", y.Time);
  f("UPnPE", y.UPnPE);
  f("HttpPort", y.HttpPort);
  f("secondPort", y.secondPort);
  f("RTSPPort", y.RTSPPort);
  f("Version", y.Version);
  f("NATStat", y.NATStat);
  f("ExtIPAddr", y.ExtIPAddr);
  f("ExtHttpPort", y.ExtHttpPort);
}

// The user's choices that decide what a save writes.
template <class Record, class F>
void ForEachChoiceField(Record& s, F&& f) {
  f("wizardMode", s.wizardMode);
  f("useWps", s.useWps);
  f("newCamera", s.newCamera);
  f("linkWireless", s.linkWireless);
  f("linkPppoe", s.linkPppoe);
}

template <class Int>
bool ParseInteger(std::string_view text, Int& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool Assign(std::uint8_t& field, std::string_view value, std::string* error) {
  unsigned v = 0;
  if (!ParseInteger(value, v) || v > 255) {
    if (error) *error = "expects a number from 0 to 255";
    return false;
  }
  field = static_cast<std::uint8_t>(v);
  return true;
}

bool Assign(std::int32_t& field, std::string_view value, std::string* error) {
  std::int32_t v = 0;
  if (!ParseInteger(value, v)) {
    if (error) *error = "expects a signed 32-bit number";
    return false;
  }
  field = v;
  return true;
}

bool Assign(std::uint32_t& field, std::string_view value, std::string* error) {
  std::uint32_t v = 0;
  if (!ParseInteger(value, v)) {
    if (error) *error = "expects a number from 0 to 4294967295";
    return false;
  }
  field = v;
  return true;
}

template <std::size_t N>
bool Assign(FixedText<N>& field, std::string_view value, std::string* error) {
  if (value.size() > N - 1 || value.find('\0') != std::string_view::npos) {
    if (error) *error = "takes at most " + std::to_string(N - 1) + " bytes";
    return false;
  }
  field = value;
  return true;
}

template <std::size_t N>
void Put(nlohmann::ordered_json& j, const char* key, const FixedText<N>& field) {
  j[key] = field.str();
}
void Put(nlohmann::ordered_json& j, const char* key, std::uint8_t v) {
  j[key] = int{v};
}
void Put(nlohmann::ordered_json& j, const char* key, std::int32_t v) {
  j[key] = v;
}
void Put(nlohmann::ordered_json& j, const char* key, std::uint32_t v) {
  j[key] = v;
}

}  // namespace

bool ApplyFieldAssignment(SessionRecord& session, std::string_view assignment, std::string* error) {
  const std::size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0) {
    if (error) *error = "expected Field=Value";
    return false;
  }
  const std::string_view name = assignment.substr(0, eq);
  const std::string_view value = assignment.substr(eq + 1);
  bool found = false;
  bool assigned = false;
  std::string reason;
  const auto visit = [&](const char* key, auto& field) {
    if (found || name != key) return;
    found = true;
    assigned = Assign(field, value, &reason);
  };
  ForEachCameraField(session, visit);
  ForEachChoiceField(session, visit);
  if (!found) {
    if (error) *error = "unknown field " + std::string(name);
    return false;
  }
  if (!assigned && error) *error = std::string(name) + " " + reason;
  return assigned;
}

nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session) {
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  ForEachCameraField(session, [&](const char* key, const auto& field) { Put(j, key, field); });
  j["userName"] = "";
  j["password"] = "";
  return j;
}

}  // namespace orv
