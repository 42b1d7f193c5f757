// The rules behind the ISP, PPPoE, system and UPnP pages, and the camera clock that the save moves
// on to the moment of its write.

#include <gtest/gtest.h>

#include <chrono>

#include "core/app/camera_clock.h"
#include "core/app/camera_fields.h"
#include "core/app/isp_rules.h"
#include "core/app/setup_choice.h"
#include "core/app/system_rules.h"
#include "core/app/upnp_rules.h"
#include "core/platform/codepage.h"

namespace orv::test {
namespace {

using namespace std::chrono_literals;

// Runs a test in one code page and restores the process's afterwards.
class InCodePage {
 public:
  explicit InCodePage(int codePage) : m_saved(SystemCodePage()) { SetSystemCodePage(codePage); }
  ~InCodePage() { SetSystemCodePage(m_saved); }

 private:
  int m_saved;
};

const std::string kChinese = "\xe5\xaf\x86\xe7\xa2\xbc";  // two characters, two bytes each in 950

// ---- ISP and PPPoE

TEST(IspRules, PrepareFollowsTheAddressType) {
  SessionRecord s;
  for (int type : {0, 1}) {
    s.net.IPType = static_cast<std::uint8_t>(type);
    EXPECT_EQ(IspLinkOnPrepare(s), IspShown::Lan) << type;
  }
  s.net.IPType = 2;
  EXPECT_EQ(IspLinkOnPrepare(s), IspShown::Pppoe);
  s.net.IPType = 3;
  EXPECT_EQ(IspLinkOnPrepare(s), IspShown::Unchanged);
}

TEST(IspRules, NextChecksTheLinkThenThePasswordThenStores) {
  InCodePage western(kCodePageWestern);
  SessionRecord s;
  s.net.IPType = 1;
  s.net.PAccount = "old";

  EXPECT_EQ(IspLinkNextChecked(s, {std::nullopt, "u", "p", "p"}).problem,
            PppoeProblem::NoLinkChosen);
  PppoeAnswer a = IspLinkNextChecked(s, {nav::IspLink::Lan, "u", "p", "q"});
  EXPECT_EQ(a.problem, PppoeProblem::None) << "LAN does not look at the PPPoE fields";
  EXPECT_EQ(a.step, nav::kStepWiredAddress);
  EXPECT_EQ(s.net.IPType, 1) << "LAN leaves the address type to the address page";
  EXPECT_EQ(s.net.PAccount, "old");

  a = IspLinkNextChecked(s, {nav::IspLink::Pppoe, "user", "Secret", "secret"});
  EXPECT_EQ(a.problem, PppoeProblem::PasswordMismatch) << "letter case counts";
  EXPECT_EQ(a.step, nav::kNoStep);
  EXPECT_EQ(s.net.IPType, 1) << "nothing stored";

  // The camera never reports its account: an empty one would wipe it.
  for (const IspTyped& empty : {IspTyped{nav::IspLink::Pppoe, "user", "", ""},
                                IspTyped{nav::IspLink::Pppoe, "", "p", "p"}}) {
    a = IspLinkNextChecked(s, empty);
    EXPECT_EQ(a.problem, PppoeProblem::LoginMissing) << empty.user;
    EXPECT_EQ(a.step, nav::kNoStep);
    EXPECT_EQ(s.net.IPType, 1) << "nothing stored";
  }

  a = IspLinkNextChecked(s, {nav::IspLink::Pppoe, "user", "p", "p"});
  EXPECT_EQ(a.problem, PppoeProblem::None);
  EXPECT_EQ(a.step, nav::kStepUpnp);
  EXPECT_EQ(s.net.IPType, 2);
  EXPECT_EQ(s.net.PAccount, "user");
  EXPECT_EQ(s.net.PPwd, "p");
  EXPECT_EQ(s.net.PVP, "p");
}

TEST(IspRules, TextsThatWouldBeCutOrChangedAreRefused) {
  InCodePage western(kCodePageWestern);
  SessionRecord s;
  const std::string longest(63, 'p');
  EXPECT_EQ(IspLinkNextChecked(s, {nav::IspLink::Pppoe, "u", longest, longest}).problem,
            PppoeProblem::None);
  EXPECT_EQ(s.net.PPwd, longest);
  EXPECT_EQ(s.net.PVP, longest);

  s = SessionRecord{};
  const std::string tooLong(64, 'p');
  EXPECT_EQ(IspLinkNextChecked(s, {nav::IspLink::Pppoe, "u", tooLong, tooLong}).problem,
            PppoeProblem::PasswordRefused);
  EXPECT_EQ(IspLinkNextChecked(s, {nav::IspLink::Pppoe, kChinese, "p", "p"}).problem,
            PppoeProblem::UserRefused)
      << "would become ?? in code page 1252";
  EXPECT_EQ(PppoeNextChecked(s, "u", kChinese).problem, PppoeProblem::PasswordRefused);
  EXPECT_EQ(s.net.IPType, 0) << "nothing stored on a refusal";
  EXPECT_TRUE(s.net.PAccount.empty());

  InCodePage chinese(kCodePageTraditionalChinese);
  EXPECT_EQ(PppoeNextChecked(s, kChinese, "p").problem, PppoeProblem::None);
  EXPECT_EQ(s.net.PAccount.size(), 4u) << "stored in the system code page";
}

TEST(IspRules, ThePppoePageRepeatsThePasswordAsItsConfirmation) {
  InCodePage western(kCodePageWestern);
  SessionRecord s;
  s.net.PVP = "stale";
  const PppoeAnswer a = PppoeNextChecked(s, "dsl-user", "Pa55 word");
  EXPECT_EQ(a.problem, PppoeProblem::None);
  EXPECT_EQ(a.step, nav::kStepUpnp);
  EXPECT_EQ(s.net.IPType, 2);
  EXPECT_EQ(s.net.PAccount, "dsl-user");
  EXPECT_EQ(s.net.PPwd, "Pa55 word");
  EXPECT_EQ(s.net.PVP, s.net.PPwd);
}

// ---- System page

TEST(SystemRules, ListsAreTheCamerasOwn) {
  EXPECT_EQ(kTimeZoneCount, 25);
  EXPECT_EQ(kTimeZoneNames[kDefaultTimeZone], "(GMT+8) Taipei,Hongkong,Beijing");
  EXPECT_EQ(kTimeZoneNames[24], "(GMT+12)Fiji,Wellington,Aucklan");
  EXPECT_EQ(UpdateIntervalName(0), "0 hour");
  EXPECT_EQ(UpdateIntervalName(23), "23 hour");
}

TEST(SystemRules, PrepareSelectsTheRecordsValuesOnlyWhenListed) {
  SessionRecord s;
  s.sys.NTPEN = 0;
  s.sys.Timezone = 5;
  s.sys.NTPPoll = 23;
  SystemShown shown = SystemOnPrepare(s);
  EXPECT_EQ(shown.mode, ClockMode::Keep);
  // Not on a time server: the page's start values, as for every camera.
  EXPECT_EQ(shown.timeZone.kind, ListLoad::Kind::Select);
  EXPECT_EQ(shown.timeZone.index, 20);
  EXPECT_EQ(shown.interval.index, 12);
  EXPECT_FALSE(shown.ntpServerFromRecord);

  s.sys.NTPEN = 1;
  shown = SystemOnPrepare(s);
  EXPECT_EQ(shown.mode, ClockMode::Automatic);
  EXPECT_TRUE(shown.ntpServerFromRecord);
  EXPECT_EQ(shown.timeZone.kind, ListLoad::Kind::Select);
  EXPECT_EQ(shown.timeZone.index, 5);
  EXPECT_EQ(shown.interval.kind, ListLoad::Kind::Select);
  EXPECT_EQ(shown.interval.index, 23);

  for (int outside : {-1, 25, 1000}) {
    s.sys.Timezone = outside;
    s.sys.NTPPoll = outside == 25 ? 24 : outside;
    shown = SystemOnPrepare(s);
    EXPECT_EQ(shown.timeZone.kind, ListLoad::Kind::NoSelection) << outside;
    EXPECT_EQ(shown.interval.kind, ListLoad::Kind::NoSelection) << outside;
  }

  s.sys.NTPEN = 7;
  shown = SystemOnPrepare(s);
  EXPECT_FALSE(shown.mode) << "an unknown NTPEN leaves the radio buttons alone";
  EXPECT_EQ(shown.timeZone.index, 20);
}

TEST(SystemRules, EachClockModeStoresItsOwnFields) {
  InCodePage western(kCodePageWestern);
  SessionRecord s;
  s.sys.NTPEN = 1;
  s.sys.Date = "2020/01/01";
  s.sys.Time = "00:00:00";
  SystemTyped t;
  t.hostName = "Front door cam";
  t.description = "porch";
  t.date = "";
  t.time = "25:99";
  t.ntpServer = "pool.example";
  t.timeZoneIndex = 24;
  t.intervalIndex = 23;
  t.pcDate = "2031/01/02";
  t.pcTime = "07:08:09";

  t.mode = std::nullopt;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None);
  EXPECT_EQ(s.sys.TitleBar, "Front door cam");
  EXPECT_EQ(s.sys.Desp, "porch");
  EXPECT_EQ(s.sys.NTPEN, 1) << "no mode checked: no clock field changes";

  t.mode = ClockMode::Keep;
  NoteClockTaken(s);
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None);
  EXPECT_EQ(s.sys.NTPEN, 0);
  EXPECT_EQ(s.sys.Date, "2020/01/01");
  EXPECT_TRUE(s.sys.clockTakenAt) << "the camera's own reading still moves on at the save";

  t.mode = ClockMode::Sync;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None);
  EXPECT_EQ(s.sys.Date, "2031/01/02");
  EXPECT_EQ(s.sys.Time, "07:08:09");
  EXPECT_TRUE(s.sys.clockTakenAt);

  // Manual texts must be what the hints show: a real date and a time of day.
  t.mode = ClockMode::Manual;
  for (const char* date : {"", "2026/13/01", "2026/02/30", "26/12/31", "2026-12-31"}) {
    t.date = date;
    EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::DateRefused) << date;
  }
  t.date = "2028/2/29";
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::TimeRefused) << "25:99";
  t.time = "23:59:59";
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None);
  EXPECT_EQ(s.sys.Date, "2028/2/29") << "stored as typed";
  EXPECT_EQ(s.sys.Time, "23:59:59");
  EXPECT_FALSE(s.sys.clockTakenAt) << "typed texts are sent as typed";

  t.mode = ClockMode::Automatic;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None);
  EXPECT_EQ(s.sys.NTPEN, 1);
  EXPECT_EQ(s.sys.NTPName, "pool.example");
  EXPECT_EQ(s.sys.Timezone, 24);
  EXPECT_EQ(s.sys.NTPPoll, 23);
}

TEST(SystemRules, AListWithoutASelectionKeepsTheRecordsValue) {
  InCodePage western(kCodePageWestern);
  SessionRecord s;
  s.sys.Timezone = 30;
  s.sys.NTPPoll = 24;
  SystemTyped t;
  t.mode = ClockMode::Automatic;
  t.timeZoneIndex = -1;
  t.intervalIndex = -1;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None);
  EXPECT_EQ(s.sys.Timezone, 30) << "never -1";
  EXPECT_EQ(s.sys.NTPPoll, 24) << "never a silent 12";
  t.intervalIndex = 0;
  SystemNextChecked(s, t);
  EXPECT_EQ(s.sys.NTPPoll, 0) << "a picked entry is stored";
}

TEST(SystemRules, TextsThatDoNotFitAreRefusedBeforeAnythingIsStored) {
  InCodePage western(kCodePageWestern);
  SessionRecord s;
  s.sys.TitleBar = "kept";
  s.sys.NTPEN = 0;
  SystemTyped t;
  t.mode = ClockMode::Automatic;
  const std::string host63(63, 'h');
  const std::string description63(63, 'd');
  const std::string server255(255, 'n');
  t.hostName = host63;
  t.description = description63;
  t.ntpServer = server255;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None) << "the longest that fit";

  s = SessionRecord{};
  s.sys.TitleBar = "kept";
  const std::string host64(64, 'h');
  t.hostName = host64;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::HostNameRefused);
  t.hostName = kChinese;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::HostNameRefused);
  t.hostName = "ok";
  t.description = kChinese;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::DescriptionRefused);
  t.description = "ok";
  const std::string server256(256, 'n');
  t.ntpServer = server256;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::NtpServerRefused);
  EXPECT_EQ(s.sys.TitleBar, "kept");
  EXPECT_EQ(s.sys.NTPEN, 0);

  // The server is only looked at in the mode that stores it; the manual texts likewise.
  t.mode = ClockMode::Manual;
  const std::string date16 = "2026/12/31 extra";
  t.date = date16;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::DateRefused);
  t.date = "2026/12/31";
  t.time = date16;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::TimeRefused);

  InCodePage chinese(kCodePageTraditionalChinese);
  t.time = "12:00:00";
  t.hostName = kChinese;
  EXPECT_EQ(SystemNextChecked(s, t), SystemProblem::None);
  EXPECT_EQ(s.sys.TitleBar.size(), 4u);
}

// ---- UPnP page

TEST(UpnpRules, PortTextsParseLikeTheCameraButNeverWrap) {
  EXPECT_EQ(ParseTypedPort("8080"), 8080u);
  EXPECT_EQ(ParseTypedPort("  +81x"), 81u);
  EXPECT_EQ(ParseTypedPort(""), 0u);
  EXPECT_EQ(ParseTypedPort("abc"), 0u);
  EXPECT_EQ(ParseTypedPort("-1"), 0xFFFFFFFFu);
  EXPECT_EQ(PortFieldText(0xFFFFFFFFu), "-1") << "shown back as typed";
  EXPECT_EQ(ParseTypedPort("4294967376"), 2147483647u) << "2^32 + 80 must not come back as 80";
  EXPECT_EQ(ParseTypedPort("99999999999999999999999999980"), 2147483647u);
  EXPECT_EQ(ParseTypedPort("-4294967216"), 0x80000000u);
  EXPECT_EQ(PortFieldText(554), "554");
}

UpnpProblem Check(SessionRecord& s, const char* http, const char* stream, const char* rtsp) {
  return UpnpNextChecked(s, {true, http, stream, rtsp});
}

TEST(UpnpRules, EachPortHasItsRange) {
  SessionRecord s;
  struct Row {
    const char* http;
    UpnpProblem expected;
  };
  for (const Row& r : {Row{"80", UpnpProblem::None}, Row{"1024", UpnpProblem::HttpPort},
                       Row{"1025", UpnpProblem::None}, Row{"65535", UpnpProblem::None},
                       Row{"65536", UpnpProblem::HttpPort}, Row{"-80", UpnpProblem::HttpPort},
                       Row{"4294967376", UpnpProblem::HttpPort}, Row{"", UpnpProblem::HttpPort}})
    EXPECT_EQ(Check(s, r.http, "5000", "554"), r.expected) << r.http;
  EXPECT_EQ(s.sys.HttpPort, 0u) << "an empty field is stored as 0";

  EXPECT_EQ(Check(s, "80", "5000", "553"), UpnpProblem::RtspPort);
  EXPECT_EQ(Check(s, "80", "5000", "1025"), UpnpProblem::None);
  EXPECT_EQ(Check(s, "80", "1024", "554"), UpnpProblem::StreamPort);
}

TEST(UpnpRules, TheLowStreamPortFollowsTheModel) {
  SessionRecord s;
  s.sys.ModelName = "Vexor-41HA";
  EXPECT_EQ(Check(s, "80", "54", "554"), UpnpProblem::None);
  EXPECT_EQ(Check(s, "80", "53", "554"), UpnpProblem::StreamPort);
  s.sys.ModelName = "Unlisted-1";
  EXPECT_EQ(Check(s, "80", "54", "554"), UpnpProblem::StreamPort);
  EXPECT_EQ(Check(s, "80", "53", "554"), UpnpProblem::None);
}

TEST(UpnpRules, StoredFirstThenCheckedForDuplicatesInOrder) {
  SessionRecord s;
  EXPECT_EQ(Check(s, "8080", "8080", "554"), UpnpProblem::HttpEqualsStream);
  EXPECT_EQ(s.sys.HttpPort, 8080u);
  EXPECT_EQ(s.sys.secondPort, 8080u) << "refused values stay until corrected";
  EXPECT_EQ(Check(s, "8080", "8080", "8080"), UpnpProblem::HttpEqualsStream);
  EXPECT_EQ(Check(s, "8080", "5000", "8080"), UpnpProblem::HttpEqualsRtsp);
  EXPECT_EQ(Check(s, "80", "5000", "5000"), UpnpProblem::StreamEqualsRtsp);
  EXPECT_EQ(Check(s, "1024", "8080", "8080"), UpnpProblem::HttpPort) << "ranges come first";

  EXPECT_EQ(UpnpNextChecked(s, {false, "80", "5000", "554"}), UpnpProblem::None);
  EXPECT_EQ(s.sys.UPnPE, 0);
  EXPECT_EQ(s.sys.RTSPPort, 554u);
  UpnpNextChecked(s, {true, "", "", ""});
  EXPECT_EQ(s.sys.UPnPE, 1) << "stored even when a port is refused";
}

// ---- The camera clock

TEST(CameraClock, SecondsCarryIntoMinutesDaysMonthsAndLeapYears) {
  auto add = [](const char* d, const char* t, std::int64_t s) {
    auto r = AddSeconds(d, t, s);
    return r ? r->date + " " + r->time : std::string("none");
  };
  EXPECT_EQ(add("2026/12/08", "14:41:09", 0), "2026/12/08 14:41:09");
  EXPECT_EQ(add("2026/12/08", "14:41:09", 51), "2026/12/08 14:42:00");
  EXPECT_EQ(add("2026/12/31", "23:59:30", 45), "2027/01/01 00:00:15");
  EXPECT_EQ(add("2024/02/28", "23:00:00", 3600), "2024/02/29 00:00:00");
  EXPECT_EQ(add("2023/02/28", "23:00:00", 3600), "2023/03/01 00:00:00");
  EXPECT_EQ(add("2026/1/2", "3:4:5", 1), "2026/01/02 03:04:06") << "short parts are read";
  for (auto [d, t] :
       {std::pair{"2026/02/30", "00:00:00"}, std::pair{"2026/12/08", "24:00:00"},
        std::pair{"26/12/08", "00:00:00"}, std::pair{"2026-12-08", "00:00:00"}, std::pair{"", ""},
        std::pair{"2026/12/08", "10:00"}, std::pair{"2026/12/08 ", "10:00:00"}})
    EXPECT_EQ(add(d, t, 5), "none") << d << " " << t;
}

TEST(CameraClock, TheSaveMovesAReadingOnByTheTimeSinceItWasTaken) {
  SessionRecord s;
  s.sys.Date = "2026/12/08";
  s.sys.Time = "23:59:00";
  const auto t0 = MonotonicClock::now();

  AdvanceClockToNow(s, t0 + 90s);
  EXPECT_EQ(s.sys.Time, "23:59:00") << "no instant: sent as it stands";

  NoteClockTaken(s, t0);
  AdvanceClockToNow(s, t0 + 90s + 400ms);
  EXPECT_EQ(s.sys.Date, "2026/12/09");
  EXPECT_EQ(s.sys.Time, "00:00:30");
  AdvanceClockToNow(s, t0 + 91s);
  EXPECT_EQ(s.sys.Time, "00:00:31") << "the fraction left over is not lost";

  s.sys.Time = "typed by hand";
  AdvanceClockToNow(s, t0 + 200s);
  EXPECT_EQ(s.sys.Time, "typed by hand");
}

TEST(CameraClock, ThePcTimeOfTheWizardAndAHandSetFieldAreMarked) {
  SessionRecord s;
  SetCameraClock(s, "2031/01/02", "07:08:09");
  EXPECT_TRUE(s.sys.clockTakenAt) << "the wizard's PC time moves on too";
  ASSERT_TRUE(ApplyFieldAssignment(s, "Time=10:00:00", nullptr));
  EXPECT_FALSE(s.sys.clockTakenAt) << "a time given on the command line is sent as given";
}

}  // namespace
}  // namespace orv::test
