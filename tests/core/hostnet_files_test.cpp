#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/hostnet/host_facts.h"
#include "core/platform/host_network_pppoe.h"
#include "core/platform/linux/host_network_files.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;
using namespace linuxnet;

class SystemFiles : public ::testing::Test {
 protected:
  SystemFiles() {
    char tmpl[] = "/tmp/orv-hostnet-XXXXXX";
    root = ::mkdtemp(tmpl);
  }
  ~SystemFiles() override { fs::remove_all(root); }

  void Write(const std::string& rel, const std::string& text) {
    const fs::path p = fs::path(root) / rel.substr(1);
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
  }

  std::string root;
};

TEST_F(SystemFiles, DnsPrefersTheLinkThenSkipsTheStubResolver) {
  EXPECT_FALSE(FirstDnsServer(root, 2));
  Write("/etc/resolv.conf",
        "# comment\nnameserver 127.0.0.53\nnameserver fe80::1\nnameserver 9.9.9.9\n");
  EXPECT_EQ(FirstDnsServer(root, 2), "9.9.9.9");
  Write("/run/systemd/resolve/resolv.conf", "search lan\nnameserver 192.168.0.1\n");
  EXPECT_EQ(FirstDnsServer(root, 2), "192.168.0.1");
  Write("/run/systemd/netif/links/2", "ADMIN_STATE=configured\nDNS=127.0.0.53 10.0.0.1 10.0.0.2\n");
  EXPECT_EQ(FirstDnsServer(root, 2), "10.0.0.1");
  EXPECT_EQ(FirstDnsServer(root, 3), "192.168.0.1");  // another link has no state of its own
  EXPECT_FALSE(FirstNameserver("nameserver 127.0.0.53\nnameserver nonsense\n"));
}

TEST_F(SystemFiles, DhcpLeaseAndNetworkManagerMethod) {
  EXPECT_FALSE(DhcpServerFromLease(root, 2));
  Write("/run/systemd/netif/leases/2", "ADDRESS=10.0.0.5\nSERVER_ADDRESS=10.0.0.1\n");
  EXPECT_EQ(DhcpServerFromLease(root, 2), "10.0.0.1");
  Write("/run/systemd/netif/leases/3", "SERVER_ADDRESS=bogus\n");
  EXPECT_FALSE(DhcpServerFromLease(root, 3));

  const std::string dir = "/etc/NetworkManager/system-connections/";
  Write(dir + "a.nmconnection", "[connection]\ninterface-name=eth1\n[ipv4]\nmethod=manual\n");
  Write(dir + "b.nmconnection", "[connection]\ninterface-name=eth0\n[ipv4]\nmethod=auto\n");
  Write(dir + "c.nmconnection", "[connection]\ninterface-name=eth2\n");  // auto by default
  EXPECT_TRUE(NetworkManagerUsesDhcp(root, "eth0"));
  EXPECT_FALSE(NetworkManagerUsesDhcp(root, "eth1"));
  EXPECT_TRUE(NetworkManagerUsesDhcp(root, "eth2"));
  EXPECT_FALSE(NetworkManagerUsesDhcp(root, "wlan0"));
}

TEST_F(SystemFiles, SysfsFactsAndUnsafeNames) {
  fs::create_directories(root + "/sys/class/net/eth0/device");
  fs::create_directories(root + "/sys/class/net/wlan0/device");
  fs::create_directories(root + "/sys/class/net/wlan0/wireless");
  fs::create_directories(root + "/sys/class/net/veth0");
  EXPECT_TRUE(ReadSysfsFacts(root, "eth0").deviceBacked);
  EXPECT_FALSE(ReadSysfsFacts(root, "eth0").wireless);
  EXPECT_TRUE(ReadSysfsFacts(root, "wlan0").wireless);
  EXPECT_TRUE(ReadSysfsFacts(root, "veth0").known);
  EXPECT_FALSE(ReadSysfsFacts(root, "veth0").deviceBacked);
  EXPECT_FALSE(ReadSysfsFacts(root, "missing").known);
  EXPECT_FALSE(ReadSysfsFacts(root, "../net/eth0").known);
  EXPECT_FALSE(ReadSysfsFacts(root, "..").known);
}

TEST_F(SystemFiles, OversizeFilesAreReadOnlyUpToTheBound) {
  Write("/big", std::string(kMaxSystemFile + 1000, 'x'));
  EXPECT_EQ(ReadSmallFile(root + "/big")->size(), kMaxSystemFile);
}

TEST(AdapterPreference, VirtualAdaptersOnlyAsFallbackAndTheNamedOneLast) {
  auto link = [](std::uint32_t i, const char* n, bool device, bool up = true) {
    return LinkFacts{{i, n, AdapterType::Ethernet, up}, true, device};
  };
  // A real adapter is up: the veth and the bridge are not candidates.
  std::vector<LinkFacts> links = {link(5, "veth0", false), link(2, "eth0", true),
                                  link(3, "br0", false)};
  ApplyAdapterPreference(links, "");
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0].info.name, "eth0");
  EXPECT_EQ(links[1].info.type, AdapterType::Other);
  EXPECT_EQ(links[2].info.type, AdapterType::Other);

  // The real adapter is down: the virtual ones stay (the namespace lab's case).
  links = {link(2, "eth0", true, false), link(4, "veth1", false), link(3, "veth0", false)};
  ApplyAdapterPreference(links, "");
  EXPECT_EQ(links[1].info.name, "veth0");
  EXPECT_EQ(links[2].info.type, AdapterType::Ethernet);

  // Named by the user: kept even if virtual, and moved last so it is chosen.
  links = {link(2, "eth0", true), link(3, "veth0", false), link(4, "eth1", true)};
  ApplyAdapterPreference(links, "veth0");
  EXPECT_EQ(links.back().info.name, "veth0");
  EXPECT_EQ(links.back().info.type, AdapterType::Ethernet);
  ApplyAdapterPreference(links, "missing");
  EXPECT_EQ(links.back().info.name, "eth1");
}

// --- the PPPoE account -----------------------------------------------------------------------

TEST_F(SystemFiles, FirstNetworkManagerPppoeConnectionByName) {
  const std::string dir = "/etc/NetworkManager/system-connections/";
  Write(dir + "0-wired.nmconnection", "[connection]\ntype=ethernet\n");
  Write(dir + "b-isp.nmconnection",
        "[connection]\ntype=pppoe\n[pppoe]\nusername=second\npassword=two\n");
  Write(dir + "a-isp.nmconnection",
        "[connection]\ntype=pppoe\n[pppoe]\nusername=first@isp\npassword-flags=1\n");
  Write("/etc/ppp/peers/dsl", "plugin rp-pppoe.so eth0\nuser peer\n");
  const auto e = ReadFirstPppoeEntry(root);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->user, "first@isp");
  EXPECT_FALSE(e->password);  // kept by an agent, not in the file
}

TEST_F(SystemFiles, PppdPeerWithChapThenPapSecrets) {
  Write("/etc/ppp/peers/a-modem", "/dev/ttyS0 115200\nuser dialup\n");
  Write("/etc/ppp/peers/b-dsl",
        "plugin rp-pppoe.so\nnic-eth0\nuser \"home user\"\nremotename isp\n# user other\n");
  Write("/etc/ppp/peers/c-dsl", "plugin pppoe.so\nuser later\n");
  Write("/etc/ppp/pap-secrets", "\"home user\" * \"pap secret\"\n");
  auto e = ReadFirstPppoeEntry(root);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->user, "home user");
  EXPECT_EQ(e->password, "pap secret");

  Write("/etc/ppp/chap-secrets",
        "# client server secret\n\"home user\" other wrong\n\"home user\" isp \"chap \\\"q\\\"\" "
        "*\n");
  e = ReadFirstPppoeEntry(root);
  EXPECT_EQ(e->password, "chap \"q\"");

  Write("/etc/ppp/chap-secrets", "\"home user\" isp @/etc/ppp/secret-file\n");
  e = ReadFirstPppoeEntry(root);
  EXPECT_EQ(e->user, "home user");
  EXPECT_FALSE(e->password);
}

TEST_F(SystemFiles, UnreadableOrMissingLeavesTheFieldsEmpty) {
  SessionRecord s;
  ReadPppoeCredentials(s, root);
  EXPECT_TRUE(s.pcPppoeUser.empty());
  EXPECT_TRUE(s.pcPppoePassword.empty());

  Write("/etc/ppp/peers/dsl", "plugin rp-pppoe.so eth0\nuser " + std::string(100, 'u') + "\n");
  Write("/etc/ppp/chap-secrets", std::string(100, 'u') + " * pw\n");
  ReadPppoeCredentials(s, root);
  EXPECT_EQ(s.pcPppoeUser.size(), 63u);
  EXPECT_EQ(s.pcPppoePassword, "pw");

  // A secrets file that cannot be read (not as root, who reads everything) gives no password.
  if (::geteuid() != 0) {
    ::chmod((root + "/etc/ppp/chap-secrets").c_str(), 0);
    SessionRecord t;
    ReadPppoeCredentials(t, root);
    EXPECT_EQ(t.pcPppoeUser, s.pcPppoeUser);
    EXPECT_TRUE(t.pcPppoePassword.empty());
  }
}

}  // namespace
}  // namespace orv::test
