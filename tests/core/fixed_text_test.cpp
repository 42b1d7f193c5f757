#include "core/util/fixed_text.h"

#include <gtest/gtest.h>

#include "core/discovery/camera_entry.h"
#include "core/model/session_record.h"

namespace orv::test {
namespace {

class FixedTextTest : public ::testing::Test {
 protected:
  void TearDown() override { SetTextBoundaryRule(CharSetKind::Utf8, 65001); }
};

TEST_F(FixedTextTest, TruncatesToWidthMinusOneAndKeepsTerminator) {
  FixedText<8> t("1234567890");
  EXPECT_EQ(t.view(), "1234567");
  EXPECT_EQ(t.bytes()[7], '\0');
  t = "ab";
  EXPECT_EQ(t.view(), "ab");
  // The tail of the earlier, longer value is gone.
  for (std::size_t i = 2; i < 8; ++i) EXPECT_EQ(t.bytes()[i], '\0');
}

TEST_F(FixedTextTest, StopsAtEmbeddedNulAndTakesItsOwnBytes) {
  FixedText<16> t(std::string_view("ab\0cd", 5));
  EXPECT_EQ(t.view(), "ab");
  t = t.view().substr(1);  // aliasing its own storage
  EXPECT_EQ(t.view(), "b");
}

TEST_F(FixedTextTest, AWidthErasedHandleWritesByTheSameRule) {
  FixedText<5> t("wxyz");
  const FixedTextRef ref = t.ref();
  EXPECT_EQ(ref.width(), 5u);
  ref.assign("abcdefg");
  EXPECT_EQ(t.view(), "abcd");
  EXPECT_EQ(t.bytes()[4], '\0');
  ref.assign("q");
  EXPECT_EQ(ref.view(), "q");
  for (std::size_t i = 1; i < 5; ++i) EXPECT_EQ(t.bytes()[i], '\0');
  SetTextBoundaryRule(CharSetKind::Utf8, 65001);
  ref.assign("ab\xE4\xB8\xAD");  // the 3-byte character does not fit after "ab"
  EXPECT_EQ(t.view(), "ab");
  ref.clear();
  EXPECT_TRUE(t.empty());
}

TEST_F(FixedTextTest, NeverSplitsAMultiByteCharacter) {
  SetTextBoundaryRule(CharSetKind::Utf8, 65001);
  FixedText<5> utf8("a\xE4\xB8\xAD\xE6\x96\x87");  // "a" + two 3-byte characters
  EXPECT_EQ(utf8.view(), "a\xE4\xB8\xAD");

  SetTextBoundaryRule(CharSetKind::DoubleByte, 950);
  FixedText<4> big5("\xA4\xA4\xA4\xE5x");  // two double-byte characters
  EXPECT_EQ(big5.view(), "\xA4\xA4");
  FixedText<4> mixed("a\xA4\xA4\xA4\xE5");
  EXPECT_EQ(mixed.view(), "a\xA4\xA4");

  SetTextBoundaryRule(CharSetKind::SingleByte, 1252);
  FixedText<4> latin("\xE4\xE4\xE4\xE4");
  EXPECT_EQ(latin.size(), 3u);
}

TEST(SessionRecordTest, StartsZeroedWithTheDocumentedWidths) {
  SessionRecord r;
  EXPECT_EQ(r.cameraSerial.width(), 260u);
  EXPECT_EQ(r.cameraPortText.width(), 8u);
  EXPECT_EQ(r.net.WPAKey.width(), 256u);
  EXPECT_EQ(r.sys.ModelName.width(), 32u);
  EXPECT_EQ(r.sys.Version.width(), 16u);
  EXPECT_EQ(r.connectAllowed.load(), 0);
  EXPECT_TRUE(r.cameraAddrText.empty());
  EXPECT_EQ(r.sys.HttpPort, 0u);
  CameraEntry e;
  EXPECT_EQ(e.desc.width(), 32u);
  EXPECT_TRUE(e.cam_id.empty());
}

TEST(SessionRecordTest, CopiesShareTheConnectFlag) {
  SessionRecord ui;
  ui.connectAllowed.store(1);
  SessionRecord worker = ui;
  ui.connectAllowed.store(0);
  EXPECT_EQ(worker.connectAllowed.load(), 0);
  worker.connectAllowed.detach();
  ui.connectAllowed.store(1);
  EXPECT_EQ(worker.connectAllowed.load(), 0);
}

}  // namespace
}  // namespace orv::test
