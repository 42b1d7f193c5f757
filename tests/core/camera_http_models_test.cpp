// The model catalogue: request family, extended request set, and the low second port.
#include <gtest/gtest.h>

#include <cstring>

#include "core/camera_http/model_catalogue.h"
#include "core/camera_http/transport.h"

namespace orv::test {
namespace {

TEST(ModelCatalogue, FamilyFromDescription) {
  SessionRecord s;
  ClassifyFamily(s, "IPCAM-41HA/ wireless");
  EXPECT_EQ(s.legacyCamera, 0);
  EXPECT_EQ(s.cameraWireless, 1);
  ClassifyFamily(s, "Vexor-41H ethernet");
  EXPECT_EQ(s.legacyCamera, 1);
  EXPECT_EQ(s.cameraWireless, 0);
  ClassifyFamily(s, "cam-7060/ Wireless");  // the wireless word is case-sensitive
  EXPECT_EQ(s.legacyCamera, 0);
  EXPECT_EQ(s.cameraWireless, 0);
  ClassifyFamily(s, "-41ha/");  // so are the fragments
  EXPECT_EQ(s.legacyCamera, 1);
  ClassifyFamily(s, "");
  EXPECT_EQ(s.legacyCamera, 1);
  for (const char* f : {"-41HA/", "-41M/", "-3270M/", "-52M/", "-63HA/", "-52HA/", "-3970M/",
                        "-52S/", "-4070M/", "-QR80/", "-8210/", "-8215/", "-8410/", "-8415/",
                        "-6413/", "-5410/", "-5415/", "-7030/", "-7060/"}) {
    ClassifyFamily(s, std::string("X") + f + "Y");
    EXPECT_EQ(s.legacyCamera, 0) << f;
  }
}

TEST(ModelCatalogue, FirmwareThresholdsCompareByteWise) {
  EXPECT_EQ(ClassifyModel("Ralto-52", "0.9.6.7"), 0);
  EXPECT_EQ(ClassifyModel("Ralto-52", "0.9.6.8"), 1);
  EXPECT_EQ(ClassifyModel("Ralto-52", "0.9.7.0"), 1);
  EXPECT_EQ(ClassifyModel("Ralto-52", "0.9.6.10"), 0);
  EXPECT_EQ(ClassifyModel("Ralto-52", ""), 0);
  EXPECT_EQ(ClassifyModel("Vexor-41", "0.9.6.5"), 1);
  EXPECT_EQ(ClassifyModel("Vexor-41", "0.9.6.4"), 0);
  EXPECT_EQ(ClassifyModel("Vexor-41", "\xff"), 1);  // bytes compare unsigned
}

TEST(ModelCatalogue, ExtendedModels) {
  EXPECT_EQ(ClassifyModel("Raltox-63", "9"), 0);
  EXPECT_EQ(ClassifyModel("Raltox-63H", ""), 1);
  EXPECT_EQ(ClassifyModel("Ralto-52E", "9.9"), 0);
  EXPECT_EQ(ClassifyModel("Ralto-52H", ""), 1);
  for (const char* m : {"Kovo-74H", "Vexor-41H", "Bollar-52H", "Bollarz-63H", "Vexor-41HA",
                        "Qel-QR80", "Bollar-52S", "Omr-8210", "Tav-7060"}) {
    EXPECT_EQ(ClassifyModel(m, ""), 1) << m;
  }
  EXPECT_EQ(ClassifyModel("", ""), 0);
  EXPECT_EQ(ClassifyModel("vexor-41ha", ""), 0);   // exact, case-sensitive
  EXPECT_EQ(ClassifyModel("Vexor-41HA ", ""), 0);  // whole text

  SessionRecord s;
  s.sys.ModelName = "Ralto-52";
  s.sys.Version = "0.9.6.9";
  ClassifyModel(s);
  EXPECT_EQ(s.extendedCgi, 1);
  s.sys.Version = "0.9.6.10";
  ClassifyModel(s);
  EXPECT_EQ(s.extendedCgi, 0);
}

TEST(ModelCatalogue, LowSecondPort) {
  EXPECT_EQ(LowSecondPortAllowed("Vexor-41HA"), 54);
  EXPECT_EQ(LowSecondPortAllowed("Tav-7030"), 54);
  EXPECT_EQ(LowSecondPortAllowed("Ralto-52H"), 53);
  EXPECT_EQ(LowSecondPortAllowed(""), 53);
}

// ---- base64 and the Basic header
// -----------------------------------------------------------------

TEST(BasicAuth, Base64Vectors) {
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("f"), "Zg==");
  EXPECT_EQ(Base64Encode("fo"), "Zm8=");
  EXPECT_EQ(Base64Encode("foo"), "Zm9v");
  EXPECT_EQ(Base64Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Encode("\xff\xfe\xfd"), "//79");  // bytes taken unsigned
  // The capacity bounds the output to whole groups and keeps the terminator.
  char out[9];
  std::memset(out, 'z', sizeof out);
  EXPECT_EQ(Base64Encode(out, "foobarbaz", sizeof out), 8u);
  EXPECT_STREQ(out, "Zm9vYmFy");
  EXPECT_EQ(Base64Encode(out, "foo", 4), 0u);
  EXPECT_STREQ(out, "");
}

TEST(BasicAuth, HeaderText) {
  EXPECT_EQ(BasicAuthHeader("root", "pass"), "Authorization: Basic cm9vdDpwYXNz\n\n");
  EXPECT_EQ(BasicAuthHeader("", ""), "Authorization: Basic Og==\n\n");
  EXPECT_EQ(BasicAuthHeader("a:b", ""), "Authorization: Basic YTpiOg==\n\n");  // not escaped
  // Two full credential fields still fit the 256-byte header.
  const std::string h = BasicAuthHeader(std::string(63, 'u'), std::string(63, 'p'));
  EXPECT_EQ(h.size(), 21u + 172u + 2u);
}

}  // namespace
}  // namespace orv::test
