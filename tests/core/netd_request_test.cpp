// The helper's request lines: what is accepted, and that every refusal says why.
#include "core/platform/netd_request.h"

#include <gtest/gtest.h>

#include <string>

#include "core/util/ipv4.h"

namespace orv::test {
namespace {

TEST(NetdRequest, AcceptsEachRequestAndFormatsItBack) {
  for (const char* line :
       {"add eth0 192.168.5.253/24 120 192.168.5.98", "refresh eth0 192.168.5.253",
        "del eth0 192.168.5.253", "arp eth0 192.168.5.10 0.0.0.0", "arp - 10.1.2.3 10.1.2.200",
        "add veth-a.1 10.255.255.254/8 600 10.0.0.1", "add lab0 172.16.0.1/30 1 172.16.0.2"}) {
    const NetdParse p = ParseNetdRequest(line);
    ASSERT_TRUE(p.ok) << line << ": " << p.reason;
    EXPECT_EQ(FormatNetdRequest(p.request), line);
  }
  const NetdParse add = ParseNetdRequest("add eth0 192.168.5.253/24 120 192.168.5.98");
  EXPECT_EQ(add.request.verb, NetdVerb::Add);
  EXPECT_EQ(add.request.adapter, "eth0");
  EXPECT_EQ(add.request.address, MakeIpv4(192, 168, 5, 253));
  EXPECT_EQ(add.request.prefix, 24);
  EXPECT_EQ(add.request.lifetime, 120);
  EXPECT_EQ(add.request.camera, MakeIpv4(192, 168, 5, 98));
  const NetdParse arp = ParseNetdRequest("arp - 10.1.2.3 10.1.2.200");
  EXPECT_TRUE(arp.request.adapter.empty());
  EXPECT_EQ(arp.request.source, MakeIpv4(10, 1, 2, 200));
}

TEST(NetdRequest, RefusesAddressesThatAreNotHosts) {
  for (const char* line : {"add eth0 192.168.5.0/24 60 10.0.0.2",    // network
                           "add eth0 192.168.5.255/24 60 10.0.0.2",  // broadcast
                           "add eth0 10.0.0.3/30 60 10.0.0.2",       // broadcast of a /30
                           "add eth0 127.0.0.2/8 60 10.0.0.2",       // loopback
                           "add eth0 224.0.0.5/24 60 10.0.0.2",      // multicast
                           "add eth0 240.1.1.1/24 60 10.0.0.2",      // reserved
                           "add eth0 0.1.2.3/24 60 10.0.0.2",        // this network
                           "add eth0 10.0.0.1/31 60 10.0.0.2",       // prefix too long
                           "add eth0 10.0.0.1/32 60 10.0.0.2",       // prefix too long
                           "add eth0 10.0.0.1/7 60 10.0.0.2",        // prefix too short
                           "arp eth0 255.255.255.255 0.0.0.0", "arp eth0 127.0.0.1 0.0.0.0",
                           "arp eth0 10.0.0.1 224.0.0.1"}) {
    const NetdParse p = ParseNetdRequest(line);
    EXPECT_FALSE(p.ok) << line;
    EXPECT_FALSE(p.reason.empty()) << line;
  }
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/31 60 10.0.0.2").reason, "prefix must be 8 to 30");
}

TEST(NetdRequest, AnAddNamesACameraInItsSubnet) {
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/24 60").reason, "add takes 4 fields");
  const std::string outside = "the camera must be a host address in the address's subnet";
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/24 60 10.0.1.2").reason, outside);
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/24 60 10.0.0.255").reason, outside);
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/24 60 10.0.0.0").reason, outside);
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/24 60 10.0.0.1").reason,
            "the camera's address cannot be added");
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/24 60 camera").reason, "invalid camera address");
  EXPECT_TRUE(ParseNetdRequest("add eth0 10.0.1.1/16 60 10.0.200.7").ok);
}

TEST(NetdRequest, RefusesLifetimesOutsideTheLimit) {
  EXPECT_TRUE(ParseNetdRequest("add eth0 10.0.0.1/24 600 10.0.0.2").ok);
  EXPECT_EQ(ParseNetdRequest("add eth0 10.0.0.1/24 601 10.0.0.2").reason,
            "lifetime must be 1 to 600 seconds");
  EXPECT_FALSE(ParseNetdRequest("add eth0 10.0.0.1/24 0 10.0.0.2").ok);
  EXPECT_FALSE(ParseNetdRequest("add eth0 10.0.0.1/24 -1 10.0.0.2").ok);
  EXPECT_FALSE(ParseNetdRequest("add eth0 10.0.0.1/24 060 10.0.0.2").ok);
  EXPECT_FALSE(ParseNetdRequest("add eth0 10.0.0.1/24 99999999999 10.0.0.2").ok);
}

TEST(NetdRequest, RefusesMalformedAndOverlongLines) {
  for (const char* line : {"",
                           " ",
                           "add",
                           "add eth0",
                           "add eth0 10.0.0.1 60 10.0.0.2",
                           "add eth0 10.0.0.1/24",
                           "del eth0",
                           "add  eth0 10.0.0.1/24 60",
                           "add eth0 10.0.0.1/24 60 ",
                           "add eth0 10.0.0.01/24 60 10.0.0.2",
                           "del eth0 10.0.0.1 extra",
                           "ADD eth0 10.0.0.1/24 60",
                           "add eth0/x 10.0.0.1/24 60 10.0.0.2",
                           "add eth0:1 10.0.0.1/24 60 10.0.0.2",
                           "add averyveryverylongname 10.0.0.1/24 60 10.0.0.2",
                           "add - 10.0.0.1/24 60",
                           "del - 10.0.0.1",
                           "add eth0 10.0.0.1/24 60\r 10.0.0.2",
                           "add e\tth0 10.0.0.1/24 60 10.0.0.2",
                           "add .. 10.0.0.1/24 60 10.0.0.2"}) {
    const NetdParse p = ParseNetdRequest(line);
    EXPECT_FALSE(p.ok) << "[" << line << "]";
    EXPECT_FALSE(p.reason.empty()) << "[" << line << "]";
  }
  EXPECT_EQ(ParseNetdRequest("frobnicate").reason, "unknown request");
  const std::string longLine =
      "add eth0 10.0.0.1/24 60 10.0.0.2" + std::string(kNetdMaxLineLength, ' ');
  EXPECT_EQ(ParseNetdRequest(longLine).reason, "line too long");
  EXPECT_FALSE(ParseNetdRequest(std::string("del eth0 10.0.0.1\0", 18)).ok);
}

}  // namespace
}  // namespace orv::test
