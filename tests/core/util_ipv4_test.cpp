// The one dotted-quad parser every address text goes through.

#include <gtest/gtest.h>

#include "core/util/ipv4.h"

namespace orv::test {
namespace {

TEST(Ipv4Parse, AcceptsPlainDecimalOctetsOnly) {
  for (const char* good : {"0.0.0.0", "192.168.0.98", "255.255.255.255", "10.0.100.9"}) {
    const auto parsed = ParseIpv4(good);
    ASSERT_TRUE(parsed) << good;
    EXPECT_EQ(FormatIpv4(*parsed), good) << "round trip";
  }
  EXPECT_EQ(Ipv4Octet(*ParseIpv4("192.168.0.98"), 0), 192);
  EXPECT_EQ(Ipv4Octet(*ParseIpv4("192.168.0.98"), 3), 98);
}

TEST(Ipv4Parse, RefusesLeadingZerosAndEveryOtherSpelling) {
  // A leading zero reads as octal to some resolvers: 010 would be 8, not 10.
  for (const char* bad :
       {"192.168.001.010", "010.1.1.1", "1.1.1.00", "00.0.0.0", "0x7f.0.0.1", "127.1", "2130706433",
        "1.2.3.4 ", "1.2.3.4\n", "1.2.3.4/24", "1.2.3.+4", "256.1.1.1", "1.2.3.1000", "1.2.3.",
        ".1.2.3", "", "localhost", "１.2.3.4"}) {
    EXPECT_FALSE(ParseIpv4(bad)) << bad;
    EXPECT_EQ(ParseIpv4OrZero(bad), 0u) << bad;
  }
  EXPECT_FALSE(ParseIpv4(std::string_view("1.2.3.4\0", 8))) << "an embedded NUL is not the end";
}

}  // namespace
}  // namespace orv::test
