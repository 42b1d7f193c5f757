// The one camera field table: the parser, the write texts and the view by name agree on it, and
// the view for output keeps keys and passwords hidden.

#include "core/app/camera_fields.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "core/camera_http/camera_field_table.h"
#include "core/camera_http/request_texts.h"
#include "core/camera_http/requests.h"
#include "core/camera_http/settings_parser.h"
#include "core/platform/codepage.h"

namespace orv::test {
namespace {

SessionRecord WithSecrets() {
  SessionRecord s;
  s.userName = "admin";
  s.password = "hunter2";
  s.net.WPAKey = "wpa-secret";
  s.net.WEPKey0 = "wep0-secret";
  s.net.WEPKey3 = "wep3-secret";
  s.net.PPwd = "ppp-secret";
  s.net.PVP = "pvp-secret";
  s.sys.DDNSPwd = "ddns-secret";
  s.net.SSID = "home";
  return s;
}

TEST(CameraFieldView, OutputHidesEveryKeyAndPasswordUnlessAsked) {
  const SessionRecord s = WithSecrets();
  const nlohmann::ordered_json hidden = CameraSettingsJson(s, FieldViewOptions{});
  const std::string text = hidden.dump();
  EXPECT_EQ(text.find("secret"), std::string::npos) << text;
  EXPECT_EQ(text.find("hunter2"), std::string::npos);
  for (const char* key : {"WPAKey", "WEPKey0", "WEPKey1", "WEPKey2", "WEPKey3", "PPwd", "PVP",
                          "DDNSPwd", "password"}) {
    EXPECT_EQ(hidden.at(key), "<hidden>") << key;
  }
  EXPECT_EQ(hidden.at("SSID"), "home");
  EXPECT_EQ(hidden.at("userName"), "");
  EXPECT_EQ(hidden.size(), 61u);

  const nlohmann::ordered_json shown = CameraSettingsJson(s, FieldViewOptions{true, 0});
  EXPECT_EQ(shown.at("WPAKey"), "wpa-secret");
  EXPECT_EQ(shown.at("DDNSPwd"), "ddns-secret");
  EXPECT_EQ(shown.at("password"), "hunter2");
  EXPECT_EQ(shown.at("userName"), "admin");

  std::set<std::string> secret;
  for (const CameraField& f : CameraFields()) {
    if (f.secret) secret.insert(std::string(f.name));
  }
  EXPECT_EQ(secret, (std::set<std::string>{"WPAKey", "WEPKey0", "WEPKey1", "WEPKey2", "WEPKey3",
                                           "PPwd", "PVP", "DDNSPwd"}));
}

TEST(CameraFieldView, TextsAreConvertedFromTheCodePage) {
  SessionRecord s;
  s.sys.TitleBar = "Caf\xe9";       // CP1252
  s.sys.Desp = "\xa5\x5c\xb3\xa1";  // CP950: a trail byte that is a backslash in ASCII
  const nlohmann::ordered_json western =
      CameraSettingsJson(s, FieldViewOptions{false, kCodePageWestern});
  EXPECT_EQ(western.at("TitleBar"), "Caf\xc3\xa9");
  const nlohmann::ordered_json chinese =
      CameraSettingsJson(s, FieldViewOptions{false, kCodePageTraditionalChinese});
  const std::string desp = chinese.at("Desp");
  EXPECT_EQ(desp.size(), 6u) << "two characters of three UTF-8 bytes each, nothing replaced";
  EXPECT_NO_THROW((void)chinese.dump()) << "valid UTF-8 needs no replacing handler";
}

TEST(CameraFieldView, AHiddenPlaceholderIsNeverTakenForASecret) {
  SessionRecord s = WithSecrets();
  std::string error;
  EXPECT_FALSE(ApplyFieldAssignment(s, "WPAKey=<hidden>", &error));
  EXPECT_NE(error.find("WPAKey"), std::string::npos);
  EXPECT_EQ(s.net.WPAKey, "wpa-secret");
  EXPECT_TRUE(ApplyFieldAssignment(s, "SSID=<hidden>", &error)) << "only secrets are guarded";
}

// For each page, what a write sends reads back through the parser into the same fields.
TEST(CameraFieldTable, WriteTextsAndTheParserUseTheSameKeys) {
  SessionRecord written;
  written.legacyCamera = 0;
  written.sys.NTPEN = 1;
  written.sys.NTPName = "ntp.example";
  written.sys.NTPPoll = 24;
  written.sys.Timezone = -5;
  written.sys.Date = "2026/12/08";
  written.sys.Time = "14:41:09";
  written.sys.TitleBar = "Porch";
  written.sys.Desp = "North";
  written.sys.DDNS = 1;
  written.sys.DDNSSrv = "dyn.example";
  written.sys.DDNSUser = "du";
  written.sys.DDNSHost = "cam.dyn.example";
  written.net.IPType = 1;
  written.net.IPAddr = "192.168.0.98";
  written.net.SSID = "home";
  written.net.WireCh = 11;
  written.net.WPAEnc = 1;
  written.sys.HttpPort = 8080;
  written.sys.secondPort = 5000;
  written.sys.RTSPPort = 554;

  for (const std::uint8_t legacy : {0, 1}) {
    written.legacyCamera = legacy;
    SessionRecord read;
    read.legacyCamera = legacy;
    for (const int page : {kPageTime, kPageSystem, kPageNetwork, kPageDdns}) {
      std::string answer = WriteParameters(written, page, page == kPageTime ? kSubPageTime : 0);
      for (char& c : answer) {
        if (c == '&') c = '\n';
      }
      ParseSettings(read, answer, page, page == kPageTime ? kSubPageTime : 0);
    }
    for (const CameraField& f : CameraFields()) {
      if (f.page == kNoReadPage) continue;
      if (WriteParameters(written, kPageNetwork, 0)
                  .find("&" + std::string(f.KeyFor(written)) + "=") == std::string::npos &&
          f.page == kPageNetwork) {
        continue;  // read but never written (Wireless, ChType)
      }
      if (f.page != kPageTime && f.page != kPageSystem && f.page != kPageNetwork &&
          f.page != kPageDdns) {
        continue;
      }
      EXPECT_EQ(WriteValueText(read, f), WriteValueText(written, f))
          << f.name << (legacy ? " (legacy)" : "");
    }
  }
}

TEST(CameraFieldTable, NamesAreUniqueAndWidthsMatchTheRecord) {
  std::set<std::string_view> names;
  for (const CameraField& f : CameraFields()) {
    EXPECT_TRUE(names.insert(f.name).second) << f.name;
    EXPECT_EQ(FindCameraField(f.name), &f);
  }
  EXPECT_EQ(CameraFields().size(), 59u);
  EXPECT_EQ(FindCameraField("WPAKey")->width, 256u);
  EXPECT_EQ(FindCameraField("Date")->width, 16u);
  EXPECT_EQ(FindCameraField("Timezone")->kind, FieldKind::Int32);
  EXPECT_EQ(FindCameraField("wirelessCapable")->key, "Wireless");
  EXPECT_EQ(FindCameraField("password"), nullptr) << "credentials are not camera fields";
}

}  // namespace
}  // namespace orv::test
