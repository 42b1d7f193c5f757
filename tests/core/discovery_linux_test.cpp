// The Linux socket layer on loopback only (unicast to 127.0.0.1, kernel-chosen ports): over-long
// datagrams are detected and consumed; every datagram says which adapter it arrived on.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <vector>

#include "core/platform/discovery_net.h"

namespace orv::test {
namespace {

std::uint16_t LocalPort(int fd) {
  sockaddr_in sin{};
  socklen_t len = sizeof sin;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&sin), &len);
  return ntohs(sin.sin_port);
}

TEST(DiscoveryLinuxSockets, OverlongDatagramIsRejectedAndConsumed) {
  auto s = SystemDiscoverySockets();
  const std::uint32_t lo = htonl(INADDR_LOOPBACK);
  const int rx = s->CreateUdp();
  const int tx = s->CreateUdp();
  ASSERT_GE(rx, 0);
  ASSERT_GE(tx, 0);
  ASSERT_TRUE(s->SetReuseAddress(rx));
  ASSERT_TRUE(s->Bind(rx, lo, 0));
  ASSERT_TRUE(s->Bind(tx, lo, 0));
  const std::uint16_t port = LocalPort(rx);
  ASSERT_NE(port, 0);

  EXPECT_EQ(s->WaitReadable(rx, 0), 0);
  const std::vector<std::uint8_t> big(285, 0x5A), fits(284, 0x33), small(8, 1);
  ASSERT_EQ(s->SendTo(tx, big.data(), big.size(), lo, port), 285);
  ASSERT_EQ(s->SendTo(tx, fits.data(), fits.size(), lo, port), 284);
  ASSERT_EQ(s->SendTo(tx, small.data(), small.size(), lo, port), 8);

  std::uint8_t buf[284];
  ASSERT_EQ(s->WaitReadable(rx, 1000), 1);
  EXPECT_EQ(s->Receive(rx, buf, sizeof buf), -1);
  ASSERT_EQ(s->WaitReadable(rx, 1000), 1);
  EXPECT_EQ(s->Receive(rx, buf, sizeof buf), 284) << "the over-long datagram did not linger";
  EXPECT_EQ(buf[283], 0x33);
  ASSERT_EQ(s->WaitReadable(rx, 1000), 1);
  EXPECT_EQ(s->Receive(rx, buf, sizeof buf), 8);
  EXPECT_EQ(s->WaitReadable(rx, 1), 0);
  EXPECT_EQ(s->Receive(rx, buf, sizeof buf), -1) << "nothing waiting does not block";
  s->Close(rx);
  s->Close(tx);
}

TEST(DiscoveryLinuxSockets, DatagramsSayWhichAdapterTheyArrivedOn) {
  auto s = SystemDiscoverySockets();
  const std::uint32_t lo = htonl(INADDR_LOOPBACK);
  const int rx = s->CreateUdp();
  const int other = s->CreateUdp();
  const int tx = s->CreateUdp();
  ASSERT_TRUE(s->Bind(rx, lo, 0));
  ASSERT_TRUE(s->Bind(other, lo, 0));
  ASSERT_TRUE(s->Bind(tx, lo, 0));
  ASSERT_TRUE(s->EnableArrivalAdapter(rx));
  const std::vector<std::uint8_t> d(284, 0x44), big(300, 1);
  ASSERT_EQ(s->SendTo(tx, d.data(), d.size(), lo, LocalPort(rx)), 284);
  ASSERT_EQ(s->SendTo(tx, big.data(), big.size(), lo, LocalPort(rx)), 300);

  // The wait over several sockets names the one that is readable.
  EXPECT_EQ(s->WaitAnyReadable({other, rx}, 1000), 1);
  EXPECT_EQ(s->WaitAnyReadable({other}, 0), -1);
  std::uint8_t buf[284];
  std::uint32_t ifIndex = 0;
  EXPECT_EQ(s->ReceiveWithAdapter(rx, buf, sizeof buf, ifIndex), 284);
  EXPECT_EQ(ifIndex, ::if_nametoindex("lo"));
  EXPECT_EQ(SystemDiscoveryHostSource()->AdapterName(ifIndex), "lo");
  EXPECT_EQ(SystemDiscoveryHostSource()->AdapterName(0), "");
  ASSERT_EQ(s->WaitReadable(rx, 1000), 1);
  EXPECT_EQ(s->ReceiveWithAdapter(rx, buf, sizeof buf, ifIndex), -1) << "over-long, as before";
  for (int fd : {rx, other, tx}) s->Close(fd);
}

}  // namespace
}  // namespace orv::test
