// Plans for many cameras: outside input, so every fault names its entry or line; and the change
// set, which refuses what the pages refuse with the page's own message.

#include "core/app/plan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>

#include "core/platform/codepage.h"
#include "core/platform/user_folders.h"

namespace orv::test {
namespace {

std::string ParseError(std::string_view text) {
  Plan plan;
  std::string error;
  EXPECT_FALSE(ParsePlan(text, plan, error)) << text;
  EXPECT_TRUE(plan.entries.empty());
  return error;
}

TEST(PlanParse, TakesBothJsonShapesAndFlatCsv) {
  Plan plan;
  std::string error;
  ASSERT_TRUE(ParsePlan(R"({"password_file": "/p", "cameras": [
      {"mac": "00-1a-2b-3c-4d-5e", "set": {"Timezone": 13, "NTPName": "pool.example"}},
      {"address": "192.168.0.98", "set": {"HttpPort": "8080"}, "password_file": "/q"}]})",
                        plan, error))
      << error;
  ASSERT_EQ(plan.entries.size(), 2u);
  EXPECT_EQ(plan.passwordFile, "/p");
  EXPECT_EQ(plan.entries[0].mac, "00:1A:2B:3C:4D:5E");
  EXPECT_EQ(plan.entries[0].sets[0], (std::pair<std::string, std::string>{"Timezone", "13"}));
  EXPECT_EQ(plan.entries[1].address, "192.168.0.98");
  EXPECT_EQ(plan.entries[1].passwordFile, "/q");
  ASSERT_TRUE(ParsePlan(R"([{"mac": "00:1A:2B:3C:4D:5E", "set": {"Desp": "x"}}])", plan, error));

  ASSERT_TRUE(
      ParsePlan("\xEF\xBB\xBFmac,Timezone,NTPName\r\n"
                "00:1A:2B:3C:4D:5E,13,\r\n"
                "\r\n"
                "00:1A:2B:3C:4D:5F,,\"a,b\"\r\n",
                plan, error))
      << error;
  ASSERT_EQ(plan.entries.size(), 2u);
  EXPECT_EQ(plan.entries[0].sets.size(), 1u) << "an empty cell leaves the field alone";
  EXPECT_EQ(plan.entries[1].where, "line 4");
  EXPECT_EQ(plan.entries[1].sets[0].second, "a,b");
}

TEST(PlanParse, NamesTheEntryOrLineOfEveryFault) {
  EXPECT_EQ(ParseError("[{\"mac\": \"00:1A:2B:3C:4D:5E\",\n \"set\": {\"Desp\": \"x\"}\n,]"),
            "line 3: not valid JSON");
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","set":{"Timezone":1e99999}}])"),
            "the plan: not valid JSON (a value out of range)")
      << "found by fuzzing: the parser's other exceptions";
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","set":{"Desp":"a"}},
                           {"mac":"00:1A:2B:3C:4D:5E","set":{"Desp":"b"}}])"),
            "entry 2: MAC 00:1A:2B:3C:4D:5E is already in the plan");
  EXPECT_EQ(ParseError(R"([{"address":"10.0.0.1","set":{"Desp":"a"}},
                           {"address":"10.0.0.1","set":{"Desp":"b"}}])"),
            "entry 2: address 10.0.0.1 is already in the plan");
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","set":{"Timezon":1}}])"),
            "entry 1: unknown field Timezon");
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","set":{"HttpPort":true}}])"),
            "entry 1: HttpPort must be a text or a whole number");
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","set":{"HttpPort":"eighty"}}])"),
            "entry 1: HttpPort expects a number from 0 to 4294967295");
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D","set":{"Desp":"x"}}])"),
            "entry 1: the MAC must look like 00:1A:2B:3C:4D:5E");
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","address":"10.0.0.1","set":{"Desp":"x"}}])"),
            "entry 1: give either a MAC or an address");
  EXPECT_EQ(ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","sett":{"Desp":"x"}}])"),
            "entry 1: unknown key \"sett\"");
  EXPECT_EQ(ParseError(R"({"cameras": []})"),
            "the plan: \"cameras\" must be a list of at least one entry");
  // A secret's value never shows in a message.
  const std::string e = ParseError(R"([{"mac":"00:1A:2B:3C:4D:5E","set":{"WPAKey":")" +
                                   std::string(300, 's') + "\"}}]");
  EXPECT_EQ(e.find("sss"), std::string::npos) << e;
  EXPECT_EQ(ParseError("mac,Timezone\n00:1A:2B:3C:4D:5E,1\n00:1A:2B:3C:4D:5F\n"),
            "line 3: 1 cells where the header has 2");
  EXPECT_EQ(ParseError("mac,Bogus\n00:1A:2B:3C:4D:5E,1\n"), "line 1: unknown field Bogus");
  EXPECT_EQ(ParseError("mac,Desp\n00:1A:2B:3C:4D:5E,\"two\nlines\"\n00:1A:2B:3C:4D:5E,x\n"),
            "line 4: MAC 00:1A:2B:3C:4D:5E is already in the plan");
  EXPECT_EQ(ParseError(std::string(kPlanFileLimit + 1, ' ')).substr(0, 27),
            "the plan is larger than 104");
}

TEST(PlanFile, RefusesAFileOtherUsersCanRead) {
  const std::string path = ::testing::TempDir() + "/plan_private_test.json";
  std::ofstream(path) << "[]";
  std::string text;
  std::string error;
  ::chmod(path.c_str(), 0644);
  if (OtherUsersMayRead(path)) {  // Windows keeps no read bits for other users
    EXPECT_FALSE(ReadPrivateFile(path, 100, false, text, error));
    EXPECT_NE(error.find("can be read by other users"), std::string::npos) << error;
  }
  EXPECT_TRUE(ReadPrivateFile(path, 100, true, text, error)) << "allowed when asked";
  ::chmod(path.c_str(), 0600);
  EXPECT_TRUE(ReadPrivateFile(path, 100, false, text, error));
  EXPECT_EQ(text, "[]");
  EXPECT_FALSE(ReadPrivateFile(path, 1, false, text, error)) << "larger than the limit";
  EXPECT_FALSE(ReadPrivateFile(path + ".missing", 100, false, text, error));
  std::remove(path.c_str());
}

// A camera as read: valid ports, clock kept, a WPA network.
SessionRecord ReadCamera() {
  SessionRecord s;
  s.sys.ModelName.assign("Vexor-41HA");
  s.sys.HttpPort = 80;
  s.sys.secondPort = 8001;
  s.sys.RTSPPort = 554;
  s.sys.NTPEN = 0;
  s.sys.Timezone = 20;
  s.sys.NTPPoll = 12;
  s.sys.TitleBar.assign("door");
  return s;
}

PlanEntry Entry(std::vector<std::pair<std::string, std::string>> sets) {
  PlanEntry e;
  e.where = "entry 1";
  e.mac = "00:1A:2B:3C:4D:5E";
  e.sets = std::move(sets);
  return e;
}

TEST(PlanChanges, ListsWhatChangesAndKeepsWhatThePageStores) {
  SetSystemCodePage(kCodePageUtf8);
  SessionRecord s = ReadCamera();
  const ChangeSet c =
      ApplyPlanEntry(s, Entry({{"NTPEN", "1"}, {"Timezone", "13"}, {"NTPName", "ntp.lab"}}));
  ASSERT_FALSE(c.refusal);
  ASSERT_EQ(c.changes.size(), 3u);
  EXPECT_EQ(c.changes[0].field, "NTPEN");
  EXPECT_EQ(c.changes[2].field, "Timezone");
  EXPECT_EQ(c.changes[2].before, "20");
  EXPECT_EQ(c.changes[2].after, "13");
  EXPECT_EQ(s.sys.NTPName.view(), "ntp.lab");

  s = ReadCamera();
  const ChangeSet same = ApplyPlanEntry(s, Entry({{"TitleBar", "door"}}));
  EXPECT_TRUE(same.changes.empty() && !same.refusal) << "unchanged";

  // The PPPoE page stores the confirmation with the password; secrets carry no text.
  s = ReadCamera();
  const ChangeSet p =
      ApplyPlanEntry(s, Entry({{"IPType", "2"}, {"PAccount", "me"}, {"PPwd", "secret"}}));
  ASSERT_FALSE(p.refusal);
  EXPECT_EQ(s.net.PVP.view(), "secret");
  for (const FieldChange& f : p.changes) {
    if (f.field == "PPwd" || f.field == "PVP") {
      EXPECT_TRUE(f.secret && f.after.empty());
    }
  }
}

TEST(PlanChanges, RefusesWhatThePagesRefuseWithTheirMessageAndChangesNothing) {
  SetSystemCodePage(kCodePageUtf8);
  struct Case {
    std::vector<std::pair<std::string, std::string>> sets;
    const char* field;
    const char* section;
    const char* key;
  };
  const Case cases[] = {
      {{{"HttpPort", "81"}}, "HttpPort", "UPnPPage", "Message1"},
      {{{"HttpPort", "8001"}}, "HttpPort", "UPnPPage", "Message4"},
      {{{"RTSPPort", "553"}}, "RTSPPort", "UPnPPage", "Message3"},
      {{{"IPType", "2"}, {"PPwd", "a"}, {"PVP", "b"}}, "PVP", "LANISPPage", "Message1"},
      {{{"WireSec", "2"}, {"WPAKey", ""}}, "WPAKey", "WLANAPPage", "Message3"},
      {{{"Timezone", "25"}}, "Timezone", "", ""},
      {{{"IPAddr", "192.168.1.300"}}, "IPAddr", "", ""},
  };
  for (const Case& c : cases) {
    SessionRecord s = ReadCamera();
    const ChangeSet r = ApplyPlanEntry(s, Entry(c.sets));
    ASSERT_TRUE(r.refusal) << c.field;
    EXPECT_EQ(r.refusal->field, c.field);
    EXPECT_EQ(r.refusal->section, c.section);
    EXPECT_EQ(r.refusal->key, c.key);
    EXPECT_EQ(r.refusal->key.empty(), !r.refusal->text.empty()) << c.field;
    EXPECT_EQ(s.sys.HttpPort, 80u) << "nothing stored";
    EXPECT_EQ(s.net.IPType, 0) << c.field;
  }
}

TEST(PlanChanges, RefusesATextTheCodePageWouldChange) {
  SetSystemCodePage(kCodePageWestern);
  SessionRecord s = ReadCamera();
  const ChangeSet c = ApplyPlanEntry(s, Entry({{"TitleBar", "門口"}}));
  SetSystemCodePage(kCodePageUtf8);
  ASSERT_TRUE(c.refusal);
  EXPECT_EQ(c.refusal->field, "TitleBar");
  EXPECT_EQ(s.sys.TitleBar.view(), "door");
}

TEST(PlanChanges, ComparesSecretsWithoutShowingThem) {
  SetSystemCodePage(kCodePageUtf8);
  SessionRecord a = ReadCamera();
  SessionRecord b = ReadCamera();
  a.net.WPAKey.assign("first-key");
  b.net.WPAKey.assign("second-key");
  const auto fa = ComparableFields(a);
  const auto fb = ComparableFields(b);
  ASSERT_EQ(fa.size(), fb.size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < fa.size(); ++i) {
    if (fa[i] != fb[i]) {
      ++differing;
      EXPECT_EQ(fa[i].first, "WPAKey");
      EXPECT_EQ(fa[i].second.find("first"), std::string::npos);
    }
  }
  EXPECT_EQ(differing, 1u);
}

}  // namespace
}  // namespace orv::test
