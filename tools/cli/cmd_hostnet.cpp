// orvantis-cli host networking: the PC adapter facts, a temporary address in a camera's subnet,
// free-address searches and the one-request ARP test.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "commands.h"
#include "core/model/session_record.h"
#include "core/hostnet/host_facts.h"
#include "core/util/ipv4.h"
#include "core/hostnet/signal_cleanup.h"
#include "core/hostnet/temporary_address.h"
#include "core/platform/host_network.h"

namespace orv::cli {
namespace {

using Json = nlohmann::ordered_json;

// Counts failed ARP requests: they read as "free" to the algorithms, but a tool run without
// CAP_NET_RAW must not claim success.
class ArpWatch final : public HostNetwork {
 public:
  explicit ArpWatch(std::unique_ptr<HostNetwork> inner) : m_inner(std::move(inner)) {}
  int ListAdapters(std::vector<AdapterInfo>& o, std::string& e) override {
    return m_inner->ListAdapters(o, e);
  }
  bool ReadAdapterDetails(std::uint32_t i, AdapterDetails& o) override {
    return m_inner->ReadAdapterDetails(i, o);
  }
  bool ReadDnsServer(std::uint32_t i, std::string& o) override {
    return m_inner->ReadDnsServer(i, o);
  }
  bool ReadAddressTable(std::vector<std::uint32_t>& o) override {
    return m_inner->ReadAddressTable(o);
  }
  int AddAddress(std::uint32_t a, std::uint32_t m, std::uint32_t i, std::uint32_t& c) override {
    return m_inner->AddAddress(a, m, i, c);
  }
  int DeleteAddress(std::uint32_t c) override { return m_inner->DeleteAddress(c); }
  int RefreshAddress(std::uint32_t c) override { return m_inner->RefreshAddress(c); }
  ArpAnswer SendArp(std::uint32_t t, std::uint32_t s) override {
    const ArpAnswer a = m_inner->SendArp(t, s);
    if (a == ArpAnswer::Error) ++m_arpErrors;
    return a;
  }
  std::string LastError() const override { return m_inner->LastError(); }
  int arpErrors() const { return m_arpErrors.load(); }

 private:
  std::unique_ptr<HostNetwork> m_inner;
  std::atomic<int> m_arpErrors{0};
};

struct Context {
  HostNetworkOptions options = HostNetworkOptionsFromEnvironment();
  std::unique_ptr<ArpWatch> net = std::make_unique<ArpWatch>(CreateHostNetwork(options));
  SessionRecord session;
  int listResult = 0;

  Context() {
    listResult = ChooseAdapter(*net, session);
    ReadAdapterDetails(*net, session);
    if (session.pcHasPpp) ReadPppoeCredentials(session, options.fileRoot);
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
                  v.is_string() ? v.get<std::string>().c_str() : v.dump().c_str());
    std::fflush(stdout);
  }
  ExitStatus() = (c.listResult == 0 || c.listResult == kHostNetNoData) ? 0 : 1;
}

// --- ensure-subnet ---------------------------------------------------------------------------

const char* OutcomeName(EnsureOutcome o) {
  switch (o) {
    case EnsureOutcome::AlreadyReachable:
      return "already-reachable";
    case EnsureOutcome::Added:
      return "added";
    case EnsureOutcome::TableUnavailable:
      return "table-unavailable";
    case EnsureOutcome::NotApplicable:
      return "not-applicable";
    case EnsureOutcome::FirstAddFailed:
      return "first-add-failed";
    case EnsureOutcome::NoFreeAddress:
      return "no-free-address";
    case EnsureOutcome::SecondAddFailed:
      return "second-add-failed";
    case EnsureOutcome::Cancelled:
      return "cancelled";
  }
  return "unknown";
}

struct EnsureArgs {
  std::string camera;
  int hold = 0;
  bool json = false;
};

void RunEnsure(const EnsureArgs& a) {
  const auto camera = ParseIpv4(a.camera);
  if (!camera) {
    Complain("ensure-subnet", "not an IPv4 address: " + a.camera);
    ExitStatus() = 2;
    return;
  }
  // Shared with the signal watcher, which may outlive this frame only by ending the process.
  static Context c;
  static TemporaryAddressList list;
  c.session.cameraAddr = *camera;

  AddressLifetimeRefresher refresher(
      *c.net, list, AddressLifetimeRefresher::PeriodFor(c.options.addressLifetime));
  SignalCleanup::Install([](int) {
    c.session.connectAllowed.store(0);
    RemoveTemporaryAddressesForExit(*c.net, list);
  });
  refresher.Start();

  EnsureOptions eo;
  // Tests shorten the pause; the program itself keeps the real one.
  if (const char* w = std::getenv("ORVANTIS_SUBNET_WAIT_MS")) {
    const long ms = std::strtol(w, nullptr, 10);
    if (ms >= 0 && ms <= 60000) eo.settleDelay = std::chrono::milliseconds(ms);
  }
  const EnsureResult r = EnsureCameraSubnetAddress(*c.net, c.session, list, eo);
  const bool ok = r.outcome == EnsureOutcome::Added || r.outcome == EnsureOutcome::AlreadyReachable;

  Json j{{"added", r.outcome == EnsureOutcome::Added ? Json(FormatIpv4(r.added)) : Json(nullptr)},
         {"mask", r.outcome == EnsureOutcome::Added ? Json(FormatIpv4(r.mask)) : Json(nullptr)},
         {"first", r.first ? Json(FormatIpv4(r.first)) : Json(nullptr)},
         {"outcome", OutcomeName(r.outcome)},
         {"message", r.message}};
  if (a.json) {
    Print(j);
  } else if (r.outcome == EnsureOutcome::Added) {
    std::printf("added %s mask %s\n", FormatIpv4(r.added).c_str(), FormatIpv4(r.mask).c_str());
  } else {
    std::printf("nothing added (%s)\n", OutcomeName(r.outcome));
  }
  std::fflush(stdout);
  if (!ok) {
    std::string why = c.net->LastError();
    if (c.net->arpErrors() > 0 && why.empty()) why = "ARP requests failed";
    Complain(r.message.empty() ? "ensure-subnet failed" : "ensure-subnet: " + r.message, why);
  }

  if (ok && a.hold > 0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(a.hold);
    while (std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  refresher.Stop();
  c.session.connectAllowed.store(0);
  RemoveTemporaryAddresses(*c.net, list);
  SignalCleanup::Disarm();
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
  const auto found = FindFreeAddressesFromPc(MakeFreeAddressFinder(*c.net), c.session,
                                             static_cast<std::size_t>(count));
  Json list = Json::array();
  for (std::uint32_t a : found) list.push_back(FormatIpv4(a));
  if (json) {
    Print(Json{{"addresses", list}});
  } else {
    for (std::uint32_t a : found) std::printf("%s\n", FormatIpv4(a).c_str());
    std::fflush(stdout);
  }
  if (c.net->arpErrors() > 0) {
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
  const bool inUse = TestAddressInUse(*c.net, c.session, *target);
  if (json) {
    Print(Json{{"inUse", inUse}});
  } else {
    std::printf("%s %s\n", address.c_str(), inUse ? "in use" : "free");
    std::fflush(stdout);
  }
  if (c.net->arpErrors() > 0) {
    ReportArpErrors(c, "arp-test");
    ExitStatus() = 1;
    return;
  }
  ExitStatus() = 0;
}

}  // namespace

void RegisterHostnetCommands(CLI::App& app) {
  auto netinfoJson = std::make_shared<bool>(false);
  CLI::App* netinfo = app.add_subcommand("netinfo", "Show the PC adapter facts");
  netinfo->add_flag("--json", *netinfoJson, "Machine-readable output");
  netinfo->callback([netinfoJson] { RunNetinfo(*netinfoJson); });

  auto ea = std::make_shared<EnsureArgs>();
  CLI::App* ensure = app.add_subcommand(
      "ensure-subnet", "Make sure the PC has an address in a camera's subnet (needs root)");
  ensure->add_option("CAMERA_IP", ea->camera, "The camera's address")->required();
  ensure->add_option("--hold", ea->hold, "Seconds to keep the temporary address before removing it")
      ->check(CLI::Range(0, 86400));
  ensure->add_flag("--json", ea->json, "Machine-readable output");
  ensure->callback([ea] { RunEnsure(*ea); });

  auto count = std::make_shared<int>(2);
  auto freeJson = std::make_shared<bool>(false);
  CLI::App* free = app.add_subcommand("free-addresses",
                                      "Find free addresses below .253 in the PC's subnet by ARP");
  free->add_option("--count", *count, "How many addresses")
      ->check(CLI::Range(0, 253))
      ->capture_default_str();
  free->add_flag("--json", *freeJson, "Machine-readable output");
  free->callback([count, freeJson] { RunFreeAddresses(*count, *freeJson); });

  auto target = std::make_shared<std::string>();
  auto arpJson = std::make_shared<bool>(false);
  CLI::App* arp = app.add_subcommand("arp-test", "Send one ARP request from the PC's address");
  arp->add_option("ADDRESS", *target, "The address to test")->required();
  arp->add_flag("--json", *arpJson, "Machine-readable output");
  arp->callback([target, arpJson] { RunArpTest(*target, *arpJson); });
}

}  // namespace orv::cli
