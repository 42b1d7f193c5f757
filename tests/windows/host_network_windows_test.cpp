// The Windows host network over a fake of the IP Helper calls (wine implements few of them, and a
// real add would change the PC's network): the row an add builds, the lifetime renewal, the
// clean-up (at shut-down, and on Ctrl-C or the console's close), SendARP's answers under the
// shared free-address search, and the adapter override.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "core/hostnet/host_facts.h"
#include "core/hostnet/temporary_address_owner.h"
#include "core/platform/windows/console_events.h"
#include "core/platform/windows/ip_helper.h"
#include "support/fake_host_network.h"
#include "support/test_env.h"

namespace orv::test {
namespace {

using test::Ip;

std::uint32_t AddressOf(const MIB_UNICASTIPADDRESS_ROW& row) {
  return row.Address.Ipv4.sin_addr.s_addr;
}

// The system as the fake keeps it; shared with the test after the host network owns the fake.
struct FakeSystem {
  std::mutex mutex;
  std::vector<win::AdapterRow> adapters;
  std::set<std::uint32_t> held;       // addresses added and not yet deleted
  std::set<std::uint32_t> answering;  // other devices on the wire
  DWORD createResult = NO_ERROR;
  DWORD arpResult = NO_ERROR;  // anything else: every SendARP fails with it
  std::vector<MIB_UNICASTIPADDRESS_ROW> created, renewed, deleted;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> arps;  // target, source

  std::size_t Renewals() {
    std::lock_guard lock(mutex);
    return renewed.size();
  }
};

class FakeIpHelper final : public win::IpHelper {
 public:
  explicit FakeIpHelper(std::shared_ptr<FakeSystem> s) : m_s(std::move(s)) {}

  bool ReadAdapters(std::vector<win::AdapterRow>& out) override {
    std::lock_guard lock(m_s->mutex);
    out = m_s->adapters;
    for (const MIB_UNICASTIPADDRESS_ROW& row : m_s->created)
      for (win::AdapterRow& a : out)
        if (a.info.index == row.InterfaceIndex && m_s->held.count(AddressOf(row)) != 0)
          a.addresses.push_back(AddressOf(row));
    return true;
  }
  // The system's defaults, as documented (wine lacks the call): unchanged origins, no prefix,
  // infinite lifetimes.
  MIB_UNICASTIPADDRESS_ROW NewAddressRow() override {
    MIB_UNICASTIPADDRESS_ROW row{};
    row.PrefixOrigin = IpPrefixOriginUnchanged;
    row.SuffixOrigin = IpSuffixOriginUnchanged;
    row.OnLinkPrefixLength = 0xFF;
    row.ValidLifetime = row.PreferredLifetime = 0xFFFFFFFFu;
    return row;
  }
  DWORD CreateAddress(const MIB_UNICASTIPADDRESS_ROW& row) override {
    std::lock_guard lock(m_s->mutex);
    if (m_s->createResult != NO_ERROR) return m_s->createResult;
    m_s->created.push_back(row);
    return m_s->held.insert(AddressOf(row)).second ? NO_ERROR : ERROR_OBJECT_ALREADY_EXISTS;
  }
  DWORD SetAddress(const MIB_UNICASTIPADDRESS_ROW& row) override {
    std::lock_guard lock(m_s->mutex);
    if (m_s->held.count(AddressOf(row)) == 0) return ERROR_NOT_FOUND;
    m_s->renewed.push_back(row);
    return NO_ERROR;
  }
  DWORD DeleteAddress(const MIB_UNICASTIPADDRESS_ROW& row) override {
    std::lock_guard lock(m_s->mutex);
    m_s->deleted.push_back(row);
    return m_s->held.erase(AddressOf(row)) != 0 ? NO_ERROR : ERROR_NOT_FOUND;
  }
  DWORD SendArp(std::uint32_t target, std::uint32_t source, ULONG& macLength) override {
    std::lock_guard lock(m_s->mutex);
    m_s->arps.emplace_back(target, source);
    macLength = 0;
    if (m_s->arpResult != NO_ERROR) return m_s->arpResult;
    if (m_s->answering.count(target) == 0) return ERROR_BAD_NET_NAME;
    macLength = 6;
    return NO_ERROR;
  }

 private:
  std::shared_ptr<FakeSystem> m_s;
};

win::AdapterRow Adapter(std::uint32_t index, const char* name, AdapterType type, const char* addr) {
  win::AdapterRow row;
  row.info = {index, name, type, true};
  row.addresses = {Ip(addr)};
  row.prefixes = {24};
  return row;
}

// A PC at 10.0.0.5 on the Ethernet adapter 2, and a host network over the fake.
struct Pc {
  explicit Pc(std::chrono::seconds lifetime = std::chrono::seconds(120)) {
    system->adapters = {Adapter(2, "Ethernet", AdapterType::Ethernet, "10.0.0.5")};
    HostNetworkOptions options;
    options.addressLifetime = lifetime;
    net = win::CreateWindowsHostNetwork(options, std::make_unique<FakeIpHelper>(system));
  }
  std::shared_ptr<FakeSystem> system = std::make_shared<FakeSystem>();
  std::shared_ptr<HostNetwork> net;
};

TEST(WindowsAddress, AddBuildsAFiniteManualRowRenewedAndDeletedByItsIdentity) {
  Pc pc(std::chrono::seconds(40));
  std::uint32_t context = 0;
  ASSERT_EQ(
      pc.net->AddAddress(Ip("192.168.0.253"), Ip("255.255.255.0"), 2, Ip("192.168.0.98"), context),
      0);
  ASSERT_EQ(pc.system->created.size(), 1u);
  const MIB_UNICASTIPADDRESS_ROW& row = pc.system->created[0];
  EXPECT_EQ(row.InterfaceIndex, 2u);
  EXPECT_EQ(row.Address.si_family, AF_INET);
  EXPECT_EQ(AddressOf(row), Ip("192.168.0.253"));
  EXPECT_EQ(row.OnLinkPrefixLength, 24);
  EXPECT_EQ(row.ValidLifetime, 40u);
  EXPECT_EQ(row.PreferredLifetime, 40u);
  EXPECT_EQ(row.PrefixOrigin, IpPrefixOriginManual);
  EXPECT_EQ(row.SuffixOrigin, IpSuffixOriginManual);
  EXPECT_EQ(row.DadState, IpDadStatePreferred);
  EXPECT_FALSE(row.SkipAsSource);
  std::uint32_t addr = 0, ifIndex = 0;
  EXPECT_TRUE(pc.net->AddedAddress(context, addr, ifIndex));
  EXPECT_EQ(std::make_pair(addr, ifIndex), std::make_pair(Ip("192.168.0.253"), 2u));

  EXPECT_EQ(pc.net->RefreshAddress(context), 0);
  ASSERT_EQ(pc.system->renewed.size(), 1u);
  EXPECT_EQ(AddressOf(pc.system->renewed[0]), Ip("192.168.0.253"));
  EXPECT_EQ(pc.system->renewed[0].ValidLifetime, 40u);
  // Lost meanwhile: the renewal makes it again, as long as the program holds it.
  pc.system->held.clear();
  EXPECT_EQ(pc.net->RefreshAddress(context), 0);
  EXPECT_EQ(pc.system->created.size(), 2u);

  EXPECT_EQ(pc.net->DeleteAddress(context), 0);
  ASSERT_EQ(pc.system->deleted.size(), 1u);
  EXPECT_EQ(AddressOf(pc.system->deleted[0]), Ip("192.168.0.253"));
  EXPECT_EQ(pc.system->deleted[0].InterfaceIndex, 2u);
  EXPECT_TRUE(pc.system->held.empty());
  EXPECT_NE(pc.net->DeleteAddress(context), 0);
  EXPECT_NE(pc.net->RefreshAddress(context), 0);
  EXPECT_EQ(pc.system->created.size(), 2u) << "a deleted address is never renewed";

  // Already gone when deleted (its lifetime ran out): nothing left to do.
  ASSERT_EQ(pc.net->AddAddress(Ip("192.168.0.250"), Ip("255.255.255.0"), 2, 0, context), 0);
  pc.system->held.clear();
  EXPECT_EQ(pc.net->DeleteAddress(context), 0);

  EXPECT_NE(pc.net->AddAddress(Ip("192.168.0.250"), Ip("255.0.255.0"), 2, 0, context), 0);
  EXPECT_NE(pc.net->AddAddress(Ip("192.168.0.250"), Ip("255.255.255.0"), 0, 0, context), 0);
  EXPECT_EQ(pc.system->created.size(), 3u) << "an invalid request never reaches the system";
}

TEST(WindowsAddress, NotElevatedTheSubnetStepFailsSayingToRunAsAdministrator) {
  Pc pc;
  pc.system->createResult = ERROR_ACCESS_DENIED;
  TemporaryAddressList list;
  const EnsureResult r =
      EnsureCameraSubnetAddress(*pc.net, CameraAt("192.168.0.98"), list, NoPause());
  EXPECT_EQ(r.outcome, EnsureOutcome::FirstAddFailed);
  EXPECT_EQ(r.message, "error");
  EXPECT_NE(r.errorCode, 0);
  EXPECT_EQ(list.count(), 0u);
  const std::string why = pc.net->LastError();
  EXPECT_NE(why.find("192.168.0.253/24"), std::string::npos) << why;
  EXPECT_NE(why.find("run Orvantis as administrator"), std::string::npos) << why;
}

TEST(WindowsAddress, TheOwnerRenewsItsAddressAndDeletesEveryOneOnShutDown) {
  Pc pc;
  TemporaryAddressOwner::Options options;
  options.installSignalHook = false;
  options.refreshPeriod = std::chrono::milliseconds(5);
  {
    TemporaryAddressOwner owner(pc.net, options);
    const EnsureResult r = owner.Ensure(CameraAt("192.168.0.98"), NoPause());
    ASSERT_EQ(r.outcome, EnsureOutcome::Added);
    // The first address answers for itself once held, so the one that stays is the next.
    EXPECT_EQ(r.added, Ip("192.168.0.252"));
    EXPECT_EQ(owner.Ensure(CameraAt("172.16.5.9"), NoPause()).outcome, EnsureOutcome::Added);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (pc.system->Renewals() < 2 && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(pc.system->Renewals(), 2u);
  }
  std::lock_guard lock(pc.system->mutex);
  EXPECT_TRUE(pc.system->held.empty());
  std::vector<std::uint32_t> deleted;
  for (const auto& row : pc.system->deleted) deleted.push_back(AddressOf(row));
  EXPECT_EQ(deleted, (std::vector<std::uint32_t>{Ip("192.168.0.253"), Ip("172.16.5.253"),
                                                 Ip("192.168.0.252"), Ip("172.16.5.252")}));
}

TEST(WindowsArp, SendArpAnswersUnderTheFreeAddressSearch) {
  Pc pc;
  pc.system->answering = {Ip("192.168.0.253"), Ip("192.168.0.252")};
  ConnectFlag go;
  go.store(1);
  const FreeAddressResult free = FindFreeAddress(*pc.net, Ip("192.168.0.253"), Ip("10.0.0.5"), go);
  EXPECT_EQ(free.first(), Ip("192.168.0.251"));
  EXPECT_EQ(free.failedRequests, 0);

  pc.system->arps.clear();
  EXPECT_EQ(pc.net->SendArp(Ip("10.0.0.5"), 0), ArpAnswer::Answered) << "the PC's own address";
  EXPECT_TRUE(pc.system->arps.empty());
  // An adapter without a source: SendARP goes out of it through its address.
  EXPECT_EQ(pc.net->SendArpOn(2, Ip("10.0.0.9"), 0), ArpAnswer::NoAnswer);
  EXPECT_EQ(pc.system->arps.back(), std::make_pair(Ip("10.0.0.9"), Ip("10.0.0.5")));

  // A request that fails says nothing about the address: never taken as free.
  pc.system->arpResult = ERROR_NOT_FOUND;
  EXPECT_EQ(pc.net->SendArp(Ip("10.0.0.9"), Ip("10.9.9.9")), ArpAnswer::Error);
  EXPECT_NE(pc.net->LastError().find("10.9.9.9"), std::string::npos) << pc.net->LastError();
  EXPECT_EQ(TestAddressInUse(*pc.net, CameraAt("10.0.0.1"), Ip("10.0.0.9")), AddressUse::Failed);
}

TEST(WindowsAdapters, TheAdapterNamedInTheEnvironmentIsChosen) {
  const auto chosen = [] {
    Pc pc;
    pc.system->adapters.push_back(Adapter(3, "Wi-Fi", AdapterType::Wireless, "10.1.0.5"));
    SessionRecord s;
    ChooseAdapter(*pc.net, s);
    return std::make_pair(s.pcIfIndex, pc.net->AdapterOverridden());
  };
  EXPECT_EQ(chosen(), std::make_pair(3u, false)) << "the last usable one by default";
  SetEnv("ORVANTIS_ADAPTER", "Ethernet");
  EXPECT_EQ(chosen(), std::make_pair(2u, true));
  UnsetEnv("ORVANTIS_ADAPTER");
}

// In the child: hold an address, deliver the console event as the system does, and report what
// the clean-up saw. Returning from here would mean the event did not end the program.
[[noreturn]] void AddThenDeliver(DWORD event) {
  Pc pc;
  TemporaryAddressOwner::Options options;  // the defaults: hook installed, end after the event
  options.onSignal = [system = pc.system](int request) {
    std::lock_guard lock(system->mutex);
    std::fprintf(stderr, "clean-up for request %d, %zu address(es) left\n", request,
                 system->held.size());
    std::fflush(stderr);
  };
  TemporaryAddressOwner owner(pc.net, options);
  if (owner.Ensure(CameraAt("192.168.0.98"), NoPause()).outcome != EnsureOutcome::Added) {
    std::fprintf(stderr, "no address added\n");
    ::ExitProcess(3);
  }
  win::OnConsoleEvent(event);  // the close event waits here for the clean-up to end the process
  std::this_thread::sleep_for(std::chrono::seconds(30));
  std::fprintf(stderr, "still running after the event\n");
  ::ExitProcess(4);
}

TEST(WindowsConsoleEndDeathTest, CtrlCAndCloseRemoveTheAddressesThenEndTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(AddThenDeliver(CTRL_C_EVENT), ::testing::ExitedWithCode(128 + SIGINT),
              "clean-up for request 2, 0 address\\(es\\) left");
  EXPECT_EXIT(AddThenDeliver(CTRL_CLOSE_EVENT), ::testing::ExitedWithCode(128 + SIGTERM),
              "clean-up for request 15, 0 address\\(es\\) left");
}

}  // namespace
}  // namespace orv::test
