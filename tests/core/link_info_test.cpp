#include "core/app/link_info.h"

#include <gtest/gtest.h>

namespace orv::test {
namespace {

const LinkLabels kLabels{"Ethernet", "PPPoE", "Fixed", "Dynamic", "Offline"};

LinkInfo Classify(int reachable, int lan, int ppp, int dhcp) {
  SessionRecord s;
  s.internetReachable = static_cast<std::uint8_t>(reachable);
  s.pcHasLan = static_cast<std::uint8_t>(lan);
  s.pcHasPpp = static_cast<std::uint8_t>(ppp);
  s.pcDhcp = static_cast<std::uint8_t>(dhcp);
  return ClassifyLink(s, kLabels);
}

TEST(LinkInfo, ReachableRows) {
  LinkInfo both = Classify(1, 1, 1, 0);
  EXPECT_EQ(both.picture, LinkPicture::Pppoe);
  EXPECT_EQ(both.text, "PPPoE\nFixed");

  LinkInfo lan = Classify(1, 1, 0, 1);
  EXPECT_EQ(lan.picture, LinkPicture::Ethernet);
  EXPECT_EQ(lan.text, "Ethernet\nDynamic");

  LinkInfo pppOnly = Classify(1, 0, 1, 1);
  EXPECT_EQ(pppOnly.picture, LinkPicture::Pppoe);
  EXPECT_EQ(pppOnly.text, "PPPoE");  // no address line for a bare dial-up link

  LinkInfo none = Classify(1, 0, 0, 1);
  EXPECT_EQ(none.picture, LinkPicture::Unchanged);
  EXPECT_EQ(none.text, "Fixed");
}

TEST(LinkInfo, UnreachableRows) {
  LinkInfo lan = Classify(0, 1, 0, 1);
  EXPECT_EQ(lan.picture, LinkPicture::NoInternet);
  EXPECT_EQ(lan.text, "Offline");

  for (auto [lan2, ppp] : {std::pair{1, 1}, std::pair{0, 1}, std::pair{0, 0}}) {
    LinkInfo other = Classify(0, lan2, ppp, 0);
    EXPECT_EQ(other.picture, LinkPicture::Unchanged) << lan2 << ppp;
    EXPECT_EQ(other.text, "Offline") << lan2 << ppp;
  }
}

TEST(LinkInfo, FlagsOtherThanOneReadAsZero) {
  LinkInfo odd = Classify(2, 1, 0, 0);
  EXPECT_EQ(odd.text, "Offline");
  LinkInfo lan = Classify(1, 1, 7, 2);
  EXPECT_EQ(lan.picture, LinkPicture::Ethernet);
  EXPECT_EQ(lan.text, "Ethernet\nFixed");
}

}  // namespace
}  // namespace orv::test
