// orvantis-cli host networking: the PC adapter facts, a temporary address in a camera's subnet,
// free-address searches and the one-request ARP test.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <thread>

#include "camera_reach.h"
#include "commands.h"
#include "core/app/startup_facts.h"
#include "core/hostnet/host_facts.h"
#include "core/hostnet/temporary_address.h"
#include "core/hostnet/temporary_address_owner.h"
#include "core/model/session_record.h"
#include "core/platform/env.h"
#include "core/platform/host_network.h"
#include "core/util/ipv4.h"
#include "output.h"

namespace orv::cli {
namespace {

using Json = nlohmann::ordered_json;

void ToStderr(std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stderr);
}

struct Context {
  HostNetworkOptions options;
  std::shared_ptr<HostNetwork> net;
  SessionRecord session;
  int listResult = 0;

  explicit Context(HostNetworkOptions o = HostNetworkOptionsFromEnvironment())
      : options(std::move(o)), net(CreateHostNetwork(options)) {
    // Diagnostics go to stderr: stdout carries only the command's own output.
    listResult = ReadStartupFacts(
        *net, session, [this] { return ReadFirstPppoeEntry(options.fileRoot); }, ToStderr);
    session.connectAllowed.store(1);
  }
};

void Print(const Json& j) {
  std::printf("%s\n", j.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
  std::fflush(stdout);
}

void Complain(const std::string& what, const std::string& why) {
  std::fprintf(stderr, "%s%s%s\n", what.c_str(), why.empty() ? "" : ": ", why.c_str());
}

// --- netinfo ---------------------------------------------------------------------------------

void RunNetinfo(bool json) {
  Context c;
  const SessionRecord& s = c.session;
  Json j{{"pcAddrText", s.pcAddrText.str()},
         {"pcMaskText", s.pcMaskText.str()},
         {"pcGatewayText", s.pcGatewayText.str()},
         {"pcDnsText", s.pcDnsText.str()},
         {"pcIfIndex", s.pcIfIndex},
         {"pcHasPpp", s.pcHasPpp},
         {"pcHasLan", s.pcHasLan},
         {"pcHasWifi", s.pcHasWifi},
         {"pcDhcp", s.pcDhcp},
         {"pcPppoeUser", s.pcPppoeUser.str()}};
  if (json) {
    Print(j);
  } else {
    for (const auto& [k, v] : j.items())
      std::printf("%-14s %s\n", k.c_str(),
                  PlainText(v.is_string() ? v.get<std::string>() : v.dump()).c_str());
    std::fflush(stdout);
  }
  ExitStatus() = (c.listResult == 0 || c.listResult == kHostNetNoData) ? 0 : 1;
}

// --- ensure-subnet ---------------------------------------------------------------------------

struct EnsureArgs {
  std::string camera;
  std::string adapter;
  int hold = 0;
  bool json = false;
};

// A program with raised privileges may not keep an address for the caller beyond this.
constexpr int kMaxPrivilegedHoldSeconds = 600;

void RunEnsure(const EnsureArgs& a) {
  if (a.hold > kMaxPrivilegedHoldSeconds && RunningWithRaisedPrivileges()) {
    Complain("ensure-subnet",
             "--hold is limited to 600 seconds when running with raised privileges");
    ExitStatus() = 2;
    return;
  }
  const auto camera = ParseIpv4(a.camera);
  if (!camera) {
    Complain("ensure-subnet", "not an IPv4 address: " + a.camera);
    ExitStatus() = 2;
    return;
  }
  Context c(OptionsWithAdapter(a.adapter));
  if (!CheckAdapterName(*c.net, a.adapter)) {
    ExitStatus() = 2;
    return;
  }
  c.session.cameraAddr = *camera;
  // Where the camera answers decides the adapter, unless the user named one.
  if (!c.net->AdapterOverridden() && !InPcSubnet(*c.net, *camera))
    c.session.cameraIfIndex = LearnCameraAdapter(*camera);

  // A signal removes the addresses and ends the process; its flag copy stops a pending step.
  TemporaryAddressOwner::Options oo;
  oo.lifetime = c.options.addressLifetime;
  oo.onSignal = [connectAllowed = c.session.connectAllowed](int) mutable {
    connectAllowed.store(0);
  };
  TemporaryAddressOwner owner(c.net, oo);

  // Tests shorten the pause; the program itself keeps the real one.
  const EnsureOptions eo = SubnetStepOptions();
  const EnsureResult r = owner.Ensure(c.session, eo);
  const bool ok = r.outcome == EnsureOutcome::Added || r.outcome == EnsureOutcome::AlreadyReachable;

  Json j{{"added", r.outcome == EnsureOutcome::Added ? Json(FormatIpv4(r.added)) : Json(nullptr)},
         {"mask", r.outcome == EnsureOutcome::Added ? Json(FormatIpv4(r.mask)) : Json(nullptr)},
         {"first", r.first ? Json(FormatIpv4(r.first)) : Json(nullptr)},
         {"adapter", r.outcome == EnsureOutcome::Added ? Json(AdapterNameOf(*c.net, r.ifIndex))
                                                       : Json(nullptr)},
         {"outcome", std::string(to_string(r.outcome))},
         {"message", r.message},
         {"failedArpRequests", r.failedArpRequests}};
  if (a.json) {
    Print(j);
  } else if (r.outcome == EnsureOutcome::Added) {
    std::printf("added %s mask %s\n", FormatIpv4(r.added).c_str(), FormatIpv4(r.mask).c_str());
  } else {
    std::printf("nothing added (%s)\n", std::string(to_string(r.outcome)).c_str());
  }
  std::fflush(stdout);
  if (!ok) {
    std::string why = c.net->LastError();
    if (r.failedArpRequests > 0 && why.empty()) why = "ARP requests failed";
    Complain(r.message.empty() ? "ensure-subnet failed" : "ensure-subnet: " + r.message, why);
  }

  if (ok && a.hold > 0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(a.hold);
    while (std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  c.session.connectAllowed.store(0);
  owner.RemoveAll();
  ExitStatus() = ok ? 0 : 1;
}

// --- free-addresses and arp-test -------------------------------------------------------------

void ReportArpErrors(const Context& c, const char* what) {
  Complain(std::string(what) + ": ARP requests failed, results are not reliable",
           c.net->LastError());
}

void RunFreeAddresses(int count, bool json) {
  Context c;
  if (c.session.pcAddrText.empty()) {
    Complain("free-addresses", "the chosen adapter has no IPv4 address");
    ExitStatus() = 1;
    return;
  }
  const FreeAddressResult found = FindFreeAddressesFromPc(MakeFreeAddressFinder(c.net), c.session,
                                                          static_cast<std::size_t>(count));
  Json list = Json::array();
  for (std::uint32_t a : found.addresses) list.push_back(FormatIpv4(a));
  if (json) {
    Print(Json{{"addresses", list}, {"failedArpRequests", found.failedRequests}});
  } else {
    for (std::uint32_t a : found.addresses) std::printf("%s\n", FormatIpv4(a).c_str());
    std::fflush(stdout);
  }
  if (found.failedRequests > 0) {
    ReportArpErrors(c, "free-addresses");
    ExitStatus() = 1;
    return;
  }
  ExitStatus() = 0;
}

void RunArpTest(const std::string& address, bool json) {
  const auto target = ParseIpv4(address);
  if (!target) {
    Complain("arp-test", "not an IPv4 address: " + address);
    ExitStatus() = 2;
    return;
  }
  Context c;
  // How long the answer took, without the program's own start: what a wait for no answer costs.
  const auto started = std::chrono::steady_clock::now();
  const AddressUse use = TestAddressInUse(*c.net, c.session, *target);
  const auto waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - started)
                          .count();
  if (json) {
    Print(Json{{"inUse", use == AddressUse::InUse},
               {"answer", std::string(to_string(use))},
               {"waitMs", waitMs}});
  } else {
    std::printf(
        "%s %s\n", address.c_str(),
        use == AddressUse::InUse ? "in use" : (use == AddressUse::Free ? "free" : "unknown"));
    std::fflush(stdout);
  }
  if (use == AddressUse::Failed) {
    ReportArpErrors(c, "arp-test");
    ExitStatus() = 1;
    return;
  }
  ExitStatus() = 0;
}

}  // namespace

void RegisterHostnetCommands(CLI::App& app) {
  auto netinfoJson = std::make_shared<bool>(false);
  CLI::App* netinfo =
      app.add_subcommand("netinfo", "Show the PC adapter's address, mask, gateway and DNS servers");
  netinfo->add_flag("--json", *netinfoJson, "Machine-readable output");
  netinfo->callback([netinfoJson] { RunNetinfo(*netinfoJson); });

  auto ea = std::make_shared<EnsureArgs>();
  CLI::App* ensure =
      app.add_subcommand("ensure-subnet",
                         "Give the PC an address in a camera's subnet if it has none "
                         "(needs CAP_NET_ADMIN and CAP_NET_RAW)");
  ensure->add_option("CAMERA_IP", ea->camera, "The camera's address")->required();
  ensure->add_option("--hold", ea->hold, "Seconds to keep the temporary address before removing it")
      ->check(CLI::Range(0, 86400));
  ensure->add_option("--adapter", ea->adapter, "Adapter the camera is cabled to");
  ensure->add_flag("--json", ea->json, "Machine-readable output");
  ensure->callback([ea] { RunEnsure(*ea); });

  auto count = std::make_shared<int>(2);
  auto freeJson = std::make_shared<bool>(false);
  CLI::App* free = app.add_subcommand(
      "free-addresses", "Find free addresses below .253 in the PC's subnet (needs CAP_NET_RAW)");
  free->add_option("--count", *count, "How many addresses")
      ->check(CLI::Range(0, 253))
      ->capture_default_str();
  free->add_flag("--json", *freeJson, "Machine-readable output");
  free->callback([count, freeJson] { RunFreeAddresses(*count, *freeJson); });

  auto target = std::make_shared<std::string>();
  auto arpJson = std::make_shared<bool>(false);
  CLI::App* arp = app.add_subcommand(
      "arp-test", "Ask by one ARP request whether an address is in use (needs CAP_NET_RAW)");
  arp->add_option("ADDRESS", *target, "The address to test")->required();
  arp->add_flag("--json", *arpJson, "Machine-readable output");
  arp->callback([target, arpJson] { RunArpTest(*target, *arpJson); });
}

}  // namespace orv::cli
