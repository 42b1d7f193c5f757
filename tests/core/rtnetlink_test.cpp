// The helper's own rtnetlink decoding: well-formed replies give every fact it checks, and
// malformed ones are refused without reading outside the datagram.
#include "core/platform/linux/rtnetlink.h"

#include <gtest/gtest.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/fake_host_network.h"

namespace orv::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Corpus(const char* name) {
  std::ifstream in(std::string(ORVANTIS_SOURCE_DIR) + "/tests/fuzz/corpus/rtnetlink_reply/" + name,
                   std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct Decoded {
  std::vector<rtnl::Link> links;
  std::vector<rtnl::Address> addrs;
  std::vector<rtnl::Route> routes;
  int rc = 0;
};

Decoded Walk(const Bytes& b, std::uint32_t seq = 0) {
  Decoded d;
  d.rc = rtnl::WalkMessages(b.data(), b.size(), seq,
                            [&](std::uint16_t t, const std::uint8_t* body, std::size_t n) {
                              rtnl::Link l;
                              rtnl::Address a;
                              rtnl::Route r;
                              if (t == RTM_NEWLINK && rtnl::DecodeLink(body, n, l))
                                d.links.push_back(l);
                              if (t == RTM_NEWADDR && rtnl::DecodeAddress(body, n, a))
                                d.addrs.push_back(a);
                              if (t == RTM_NEWROUTE && rtnl::DecodeRoute(body, n, r))
                                d.routes.push_back(r);
                            });
  return d;
}

TEST(Rtnetlink, DecodesADumpWithTagsAndEveryNextHop) {
  const Decoded d = Walk(Corpus("dump"));
  EXPECT_EQ(d.rc, 1);  // ended by NLMSG_DONE
  ASSERT_EQ(d.links.size(), 1u);
  EXPECT_EQ(d.links[0].name, "eth0");
  EXPECT_EQ(d.links[0].index, 2u);
  EXPECT_EQ(d.links[0].operState, 6);
  ASSERT_EQ(d.addrs.size(), 1u);
  EXPECT_EQ(d.addrs[0].local, Ip("10.9.0.10"));
  EXPECT_EQ(d.addrs[0].prefix, 32);
  EXPECT_EQ(d.addrs[0].proto, 0xA7);
  ASSERT_EQ(d.routes.size(), 1u);
  EXPECT_EQ(d.routes[0].dst, Ip("192.168.5.0"));
  EXPECT_EQ(d.routes[0].prefix, 24);
  EXPECT_EQ(d.routes[0].protocol, 0xA7);
  EXPECT_EQ(d.routes[0].table, 254u);
  EXPECT_EQ(d.routes[0].gateways, (std::vector<std::uint32_t>{Ip("10.9.0.1"), Ip("10.9.0.2")}));
  // Replies to another request are not this one's.
  const Decoded other = Walk(Corpus("dump"), 7);
  EXPECT_EQ(other.rc, 0);
  EXPECT_TRUE(other.links.empty());
}

TEST(Rtnetlink, RefusesMalformedRepliesAndPassesOnKernelErrors) {
  EXPECT_EQ(Walk(Corpus("ack_error")).rc, -17);  // EEXIST
  // A datagram cut inside a message is malformed.
  const Decoded cut = Walk(Corpus("truncated"));
  EXPECT_LT(cut.rc, 0);
  // An attribute that claims more than its message holds ends the attributes, not the walk.
  const Decoded bad = Walk(Corpus("bad_attr_len"));
  EXPECT_EQ(bad.rc, 0);
  EXPECT_TRUE(bad.addrs.empty());  // its local address was never read
  rtnl::Address a;
  const std::uint8_t tiny[4] = {AF_INET, 24, 0, 0};
  EXPECT_FALSE(rtnl::DecodeAddress(tiny, sizeof tiny, a));
  ifaddrmsg v6{};
  v6.ifa_family = AF_INET6;
  EXPECT_FALSE(rtnl::DecodeAddress(reinterpret_cast<const std::uint8_t*>(&v6), sizeof v6, a));
}

TEST(Rtnetlink, ReadsTheKernelsOwnDumps) {
  // Reads only (changes are tried in the namespace lab): the loopback adapter is always there.
  rtnl::Socket sock;
  ASSERT_EQ(sock.error(), 0);
  std::vector<rtnl::Link> links;
  ASSERT_EQ(sock.Links(links), 0);
  EXPECT_TRUE(
      std::any_of(links.begin(), links.end(), [](const rtnl::Link& l) { return l.name == "lo"; }));
  std::vector<rtnl::Route> routes;
  EXPECT_EQ(sock.Routes(routes), 0);
}

}  // namespace
}  // namespace orv::test
