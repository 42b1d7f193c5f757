// read, save, scan, wps, link-server: the camera's CGI side of the tool. Exit status 0 only when
// the operation succeeded, 1 when the camera or server refused or failed, 2 for unusable arguments.
// Credentials are taken from the options, a file or the environment, and never printed: keys and
// passwords show as "<hidden>" unless --show-secrets asks for them.

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "camera_reach.h"
#include "commands.h"
#include "core/app/camera_fields.h"
#include "core/app/camera_jobs.h"
#include "core/app/camera_pick.h"
#include "core/app/failure_sentence.h"
#include "core/app/startup_facts.h"
#include "core/app/wps_session.h"
#include "core/camera_http/model_catalogue.h"
#include "core/camera_http/requests.h"
#include "core/hostnet/host_facts.h"
#include "core/hostnet/temporary_address.h"
#include "core/platform/host_network.h"
#include "core/util/ipv4.h"
#include "output.h"
#include "progress.h"

namespace orv::cli {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CameraOptions {
  std::string host;
  std::string port = "80";
  std::optional<std::string> desc;
  std::string family;
  std::string user = "root";
  std::optional<std::string> password;
  std::string passwordFile;
  std::string pcAddress;
  std::string adapter;
  bool suggest = false;
  bool showSecrets = false;
  bool json = false;
  bool wps = false;
  double interval = 5.0;
  std::vector<std::string> sets;

  // Neither --desc nor --family: the family comes from the camera's discovery reply.
  bool FamilyFromCamera() const { return !desc && family.empty(); }
};

void AddTargetOptions(CLI::App* cmd, CameraOptions& o) {
  cmd->add_option("HOST", o.host, "The camera's address")->required();
  cmd->add_option("--port", o.port, "The camera's HTTP port")->capture_default_str();
  auto* desc = cmd->add_option("--desc", o.desc,
                               "The camera's DESC / INTERFACE text, which picks the request "
                               "family (empty: the legacy family); without --desc and --family "
                               "the camera's own discovery reply picks it");
  auto* family = cmd->add_option("--family", o.family, "The request family instead of --desc")
                     ->check(CLI::IsMember({"legacy", "config"}));
  desc->excludes(family);
  cmd->add_option("--user", o.user, "User name when the camera asks for one")
      ->capture_default_str();
  auto* password = cmd->add_option(
      "--password", o.password,
      "Password when the camera asks for one (other users can see it; prefer --password-file)");
  cmd->add_option("--password-file", o.passwordFile, "Read the password from the file's first line")
      ->excludes(password);
  cmd->add_option("--adapter", o.adapter, "Adapter the camera is cabled to");
  cmd->add_flag("--json", o.json, "Machine-readable output");
}

std::string Dump(const Json& j) {
  return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void Emit(const CameraOptions& o, Json j) {
  ClearProgress();
  if (o.json) {
    ConvertTextsToUtf8(j);
    std::cout << Dump(j) << '\n';
    return;
  }
  // Plain output: one Key=value line per item, nested lists indexed; camera texts escaped.
  const auto text = [](const Json& v) {
    return v.is_string() ? PlainText(v.get_ref<const std::string&>()) : PlainText(Dump(v));
  };
  for (const auto& [key, value] : j.items()) {
    if (value.is_object()) {
      for (const auto& [k, v] : value.items()) std::cout << k << '=' << text(v) << '\n';
    } else if (value.is_array()) {
      for (std::size_t i = 0; i < value.size(); ++i) {
        std::cout << key << '[' << i << "]=" << PlainText(Dump(value[i])) << '\n';
      }
    } else {
      std::cout << key << '=' << text(value) << '\n';
    }
  }
}

// Fills the connection items as the search page does when a camera is picked (no serial here).
bool PickCamera(const CameraOptions& o, SessionRecord& s) {
  const PickProblem problem = PrepareSession(s, o.host, o.port, o.desc.value_or(""), "");
  switch (problem) {
    case PickProblem::None:
      break;
    case PickProblem::BadAddress:
      std::cerr << "orvantis-cli: the camera address must be a dotted quad such as 192.168.0.98\n";
      return false;
    case PickProblem::BadPort:
      std::cerr << "orvantis-cli: the port must be a number from 1 to 65535\n";
      return false;
    case PickProblem::TooLong:
      std::cerr << "orvantis-cli: the camera address or port is too long\n";
      return false;
  }
  if (!o.family.empty()) {
    s.legacyCamera = o.family == "legacy" ? 1 : 0;
    s.cameraWireless = 0;
  }
  s.connectAllowed.store(1);
  return true;
}

Json AccessPointsJson(const std::vector<AccessPointEntry>& list) {
  Json a = Json::array();
  for (const AccessPointEntry& e : list) {
    a.push_back(Json{{"Channel", int{e.Channel}},
                     {"Mac_address", e.Mac_address.str()},
                     {"SSID", e.SSID.str()},
                     {"Quality", int{e.Quality}},
                     {"Mode", e.Mode.str()},
                     {"Security", e.Security.str()},
                     {"Algorithm", e.Algorithm.str()}});
  }
  return a;
}

// A failed step: j with the result code for scripts, and what it means for a person (the JSON's
// "message"; in plain output a sentence on standard error).
void EmitFailure(const CameraOptions& o, const SessionRecord& s, const CameraReach& reach,
                 FailedStep step, int result, Json j) {
  const std::string camera = s.cameraAddrText.str() + ":" + s.cameraPortText.str();
  FailureFacts facts;
  facts.step = step;
  facts.result = result;
  facts.legacyFamily = s.legacyCamera == 1;
  facts.origin = reach.familyOrigin();
  facts.passwordGiven = !s.password.empty();
  facts.camera = camera;
  const std::string sentence = FailureSentence(facts);
  if (o.json) j["message"] = sentence;
  Emit(o, j);
  if (!o.json) std::cerr << "orvantis-cli: " << PlainText(sentence) << '\n';
}

// The camera's connection items, its request family and a way to reach it. False (after a
// message, with the exit status for unusable arguments) when the options do not name a camera.
bool PrepareCamera(const CameraOptions& o, SessionRecord& s, CameraReach& reach) {
  EnableProgress(!o.json);
  return PickCamera(o, s) && reach.Open(s, o.adapter, o.FamilyFromCamera());
}

// The login step with the options' credentials. False (after printing) when the login failed.
bool Login(const CameraOptions& o, SessionRecord& s, const CameraReach& reach, int& exitStatus) {
  const std::optional<std::string> password = ResolvePassword(o.password, o.passwordFile);
  if (!password) {
    exitStatus = kExitUsage;
    return false;
  }
  ShowProgress("logging in");
  const LoginOutcome login = RunLoginStep(s, [&] { return Credentials{o.user, *password}; });
  if (login.ok) return true;
  ClearProgress();
  if (login.credentialsTooLong) {
    std::cerr << "orvantis-cli: user name and password take at most 63 bytes each\n";
    exitStatus = kExitUsage;
    return false;
  }
  EmitFailure(o, s, reach, FailedStep::Login, login.result,
              Json{{"result", login.result}, {"ok", false}, {"step", "login"}});
  exitStatus = kExitFailed;
  return false;
}

// The camera's connection items and the login step, for the commands that need no read-all job.
// False (after printing, with the exit status set) when either failed.
bool OpenSession(const CameraOptions& o, SessionRecord& s, CameraReach& reach) {
  if (!PrepareCamera(o, s, reach)) {
    ExitStatus() = kExitUsage;
    return false;
  }
  int status = 0;
  if (Login(o, s, reach, status)) return true;
  ExitStatus() = status;
  return false;
}

// Login and the read-all job. False (after printing) when either failed.
bool ReadCamera(const CameraOptions& o, WorkerJob& job, CameraReach& reach, int& exitStatus) {
  SessionRecord& s = job.session;
  if (!PrepareCamera(o, s, reach)) {
    exitStatus = kExitUsage;
    return false;
  }
  // The free-address search probes the PC's own subnet; only asked for with --suggest.
  std::shared_ptr<HostNetwork> net;
  FreeAddressFinder finder;
  if (o.suggest) {
    net = CreateHostNetwork(HostNetworkOptionsFromEnvironment());
    if (!o.pcAddress.empty()) {
      if (!ParseIpv4(o.pcAddress)) {
        ClearProgress();
        std::cerr << "orvantis-cli: --pc-address needs a dotted-quad address\n";
        exitStatus = kExitUsage;
        return false;
      }
      s.pcAddrText = o.pcAddress;
    } else {
      ReadStartupFacts(*net, s, nullptr, TraceLine);
    }
    finder = MakeFreeAddressFinder(net);
  }
  if (!Login(o, s, reach, exitStatus)) return false;
  job.mode = kModeRead;
  job.onStep = ShowProgress;
  RunReadAllJob(job, finder);
  if (job.ok != 1) {
    Json j{{"result", job.error}, {"ok", false}, {"step", "read"}};
    if (s.extendedCgi == 1 && s.sys.wirelessCapable == 1 && s.apScanOk != 1) j["apScanOk"] = 0;
    EmitFailure(o, s, reach, FailedStep::Read, job.error, j);
    exitStatus = kExitFailed;
    return false;
  }
  return true;
}

Json ReadResultJson(const WorkerJob& job, bool suggest, bool showSecrets) {
  const SessionRecord& s = job.session;
  Json j{{"result", 0},
         {"ok", true},
         {"extendedCgi", int{s.extendedCgi}},
         {"legacyCamera", int{s.legacyCamera}},
         {"cameraWireless", int{s.cameraWireless}},
         {"settings", CameraSettingsJson(s, FieldViewOptions{showSecrets, 0})},
         {"accessPoints", AccessPointsJson(job.accessPoints)}};
  if (suggest) {
    Json a = Json::array();
    for (std::uint32_t addr : job.suggestedAddresses) a.push_back(FormatIpv4(addr));
    j["suggestedAddresses"] = a;
    j["failedArpRequests"] = job.failedArpRequests;
  }
  return j;
}

void RunRead(const CameraOptions& o) {
  int status = 0;
  WorkerJob job;
  CameraReach reach;
  if (!ReadCamera(o, job, reach, status)) {
    ExitStatus() = status;
    return;
  }
  Emit(o, ReadResultJson(job, o.suggest, o.showSecrets));
  ExitStatus() = 0;
}

void RunSave(const CameraOptions& o) {
  // Check every assignment before anything is sent.
  {
    SessionRecord scratch;
    for (const std::string& a : o.sets) {
      std::string error;
      if (!ApplyFieldAssignment(scratch, a, &error)) {
        std::cerr << "orvantis-cli: --set " << error << '\n';
        ExitStatus() = kExitUsage;
        return;
      }
    }
  }
  int status = 0;
  WorkerJob job;
  CameraReach reach;
  if (!ReadCamera(o, job, reach, status)) {
    ExitStatus() = status;
    return;
  }
  for (const std::string& a : o.sets) ApplyFieldAssignment(job.session, a, nullptr);
  job.session.useWps = o.wps ? 1 : 0;
  job.mode = o.wps ? kModeSaveWps : kModeSave;
  job.accessPoints.clear();
  job.suggestedAddresses.clear();
  RunWorkerJob(job, nullptr);
  if (job.ok == 1) {
    Emit(o, Json{{"result", 0}, {"ok", true}});
    ExitStatus() = 0;
    return;
  }
  EmitFailure(o, job.session, reach, FailedStep::Save, job.error,
              Json{{"result", job.error}, {"ok", false}, {"step", "save"}});
  ExitStatus() = kExitFailed;
}

void RunScan(const CameraOptions& o) {
  SessionRecord s;
  CameraReach reach;
  if (!OpenSession(o, s, reach)) return;
  ShowProgress("scanning for wireless networks");
  const auto list = ScanAccessPoints(s);
  const bool ok = list.has_value() && s.apScanOk == 1;
  Json j{{"result", 0},
         {"ok", ok},
         {"apScanOk", int{s.apScanOk}},
         {"apCount", ok ? s.apCount : 0u},
         {"accessPoints", AccessPointsJson(list.value_or(std::vector<AccessPointEntry>{}))}};
  if (ok) {
    Emit(o, j);
  } else {
    j["step"] = "scan";
    EmitFailure(o, s, reach, FailedStep::Scan, 0, j);
  }
  ExitStatus() = ok ? 0 : kExitFailed;
}

// The WPS page's session: start, give the user time to press the router's button, then poll until
// the camera acknowledges or the counter runs out (30 ticks).
void RunWps(const CameraOptions& o) {
  SessionRecord s;
  CameraReach reach;
  if (!OpenSession(o, s, reach)) return;
  const auto tick = std::chrono::duration<double>(o.interval);
  WpsSession session;
  ShowProgress("starting WPS");
  const WpsEvent event = RunWpsBlocking(session, s, &SendWpsStart, &SendWpsPoll, [&] {
    const int ticksLeft = (WpsSession::kEnd - session.counter()) / WpsSession::kStep;
    ShowProgress("waiting for the camera: press the router's WPS button (about " +
                 std::to_string(static_cast<int>(ticksLeft * o.interval)) + " s left)");
    std::this_thread::sleep_for(tick);
  });
  if (event == WpsEvent::StartFailed) {
    EmitFailure(o, s, reach, FailedStep::WpsStart, session.lastStartResult(),
                Json{{"result", session.lastStartResult()}, {"ok", false}, {"step", "start"}});
    ExitStatus() = kExitFailed;
    return;
  }
  const bool ok = event == WpsEvent::Succeeded;
  Json j{{"result", 0},
         {"ok", ok},
         {"outcome", std::string(to_string(event))},
         {"wpsStatus", int{s.wpsStatus}},
         {"wpsAck", int{s.wpsAck}}};
  if (ok) {
    Emit(o, j);
  } else {
    j["step"] = "wps";
    EmitFailure(o, s, reach, FailedStep::Wps, 0, j);
  }
  ExitStatus() = ok ? 0 : kExitFailed;
}

struct LinkServerOptions {
  std::string server;
  std::string port = "80";
  std::string id;
  std::optional<std::string> password;
  std::string passwordFile;
  bool userLogin = false;
  bool json = false;
};

void RunLinkServer(const LinkServerOptions& l) {
  CameraOptions out;
  out.json = l.json;
  const std::optional<std::string> password = ResolvePassword(l.password, l.passwordFile);
  if (!password) {
    ExitStatus() = kExitUsage;
    return;
  }
  if (l.id.empty() || password->empty() || l.id.size() > 32 || password->size() > 32) {
    std::cerr << "orvantis-cli: ID and password need 1 to 32 characters each\n";
    ExitStatus() = kExitUsage;
    return;
  }
  // "User login" asks page 2, "Device login" page 3.
  const auto list = QueryLinkServer(l.server, l.port, l.id, *password, l.userLogin ? 2 : 3);
  Json cameras = Json::array();
  if (list) {
    for (const LinkServerCameraEntry& e : *list) {
      cameras.push_back(Json{{"ID", e.ID.str()},
                             {"IP", e.IP.str()},
                             {"Port", e.Port.str()},
                             {"Mac_address", e.Mac_address.str()},
                             {"Modelname", e.Modelname.str()}});
    }
  }
  Json j{{"ok", list.has_value()}, {"count", cameras.size()}, {"cameras", cameras}};
  if (list) {
    Emit(out, j);
    ExitStatus() = 0;
    return;
  }
  const std::string sentence = "The link server at " + l.server + ":" + l.port +
                               " sent no camera list: check --server, --port, --id, the password "
                               "and --user-login.";
  if (l.json) j["message"] = sentence;
  Emit(out, j);
  if (!l.json) std::cerr << "orvantis-cli: " << PlainText(sentence) << '\n';
  ExitStatus() = kExitFailed;
}

}  // namespace

void RegisterCameraCommands(CLI::App& app) {
  auto read = std::make_shared<CameraOptions>();
  auto* r = app.add_subcommand("read", "Log in to a camera and read all its settings");
  AddTargetOptions(r, *read);
  r->add_flag("--suggest", read->suggest,
              "Also look for two free addresses in the PC's subnet (needs CAP_NET_RAW)");
  r->add_option("--pc-address", read->pcAddress,
                "The PC address to send the --suggest probes from");
  r->add_flag("--show-secrets", read->showSecrets, "Print keys and passwords instead of <hidden>");
  r->callback([read] { RunRead(*read); });

  auto save = std::make_shared<CameraOptions>();
  auto* s = app.add_subcommand("save", "Read a camera's settings, change some and write them back");
  AddTargetOptions(s, *save);
  s->add_flag("--wps", save->wps, "Save in WPS mode (the wireless keys are left alone)");
  s->add_option("--set", save->sets,
                "Set a field by the record's name, as Field=Value (repeatable)");
  s->callback([save] { RunSave(*save); });

  auto scan = std::make_shared<CameraOptions>();
  auto* sc = app.add_subcommand("scan", "List the wireless access points a camera sees");
  AddTargetOptions(sc, *scan);
  sc->callback([scan] { RunScan(*scan); });

  auto wps = std::make_shared<CameraOptions>();
  auto* w = app.add_subcommand("wps", "Run a camera's WPS push-button session");
  AddTargetOptions(w, *wps);
  w->add_option("--interval", wps->interval, "Seconds between polls")
      ->capture_default_str()
      ->check(CLI::Range(0.001, 60.0));
  w->callback([wps] { RunWps(*wps); });

  auto link = std::make_shared<LinkServerOptions>();
  auto* l =
      app.add_subcommand("link-server", "List the cameras a link server knows for an account");
  l->add_option("--server", link->server, "The link server's host")->required();
  l->add_option("--port", link->port, "The link server's port")->capture_default_str();
  l->add_option("--id", link->id, "The account's ID")->required();
  auto* password = l->add_option("--password", link->password,
                                 "The account's password (other users can see it; prefer "
                                 "--password-file)");
  l->add_option("--password-file", link->passwordFile,
                "Read the password from the file's first line")
      ->excludes(password);
  l->add_flag("--user-login", link->userLogin, "A user account rather than a device account");
  l->add_flag("--json", link->json, "Machine-readable output");
  l->callback([link] { RunLinkServer(*link); });
}

}  // namespace orv::cli
