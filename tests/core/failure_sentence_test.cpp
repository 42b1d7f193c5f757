// The sentence the command-line tool prints beside a failed step's result code.

#include "core/app/failure_sentence.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/camera_http/requests.h"

namespace orv::test {
namespace {

FailureFacts Facts(FailedStep step, int result) {
  FailureFacts f;
  f.step = step;
  f.result = result;
  f.passwordGiven = true;
  f.camera = "10.0.0.20:80";
  return f;
}

// Every code a login, a job, a scan or a WPS session ends with gets its own plain sentence.
TEST(FailureSentenceTest, EveryResultCodeOfEveryStepHasItsOwnSentence) {
  const int codes[] = {
      Ok,         ErrConnect,       ErrSend,        ErrNoResponse, ErrNotFound, ErrNotFoundOther,
      ErrFailure, ErrNoNetworkData, ErrUnauthorized};
  for (FailedStep step : {FailedStep::Login, FailedStep::Read, FailedStep::Save, FailedStep::Scan,
                          FailedStep::WpsStart, FailedStep::Wps}) {
    std::set<std::string> seen;
    for (int code : codes) {
      const std::string s = FailureSentence(Facts(step, code));
      SCOPED_TRACE(s);
      ASSERT_GT(s.size(), 20u);
      EXPECT_TRUE(s.front() >= 'A' && s.front() <= 'Z');
      EXPECT_EQ(s.back(), '.');
      EXPECT_EQ(s.find('\n'), std::string::npos);
      EXPECT_EQ(s.find('{'), std::string::npos) << "a placeholder left";
      EXPECT_NE(s.find("10.0.0.20:80"), std::string::npos) << "names the camera";
      if (code != Ok) {
        EXPECT_TRUE(seen.insert(s).second) << "two codes read alike";
      }
    }
  }
  const std::string unknown = FailureSentence(Facts(FailedStep::Read, -99));
  EXPECT_NE(unknown.find("-99"), std::string::npos) << unknown;
}

TEST(FailureSentenceTest, NotFoundPointsToTheOtherFamilyAndSaysWhereTheFamilyCameFrom) {
  FailureFacts f = Facts(FailedStep::Read, ErrNotFound);
  f.legacyFamily = true;
  f.origin = FamilyOrigin::NoAnswer;
  EXPECT_EQ(FailureSentence(f),
            "The camera at 10.0.0.20:80 answered 404 Not Found to the legacy requests (assumed: "
            "the camera did not answer the discovery request); it may use the other family: try "
            "--family config.");
  f.legacyFamily = false;
  f.origin = FamilyOrigin::Discovery;
  const std::string config = FailureSentence(f);
  EXPECT_NE(config.find("config requests (the family its discovery reply names)"),
            std::string::npos)
      << config;
  EXPECT_NE(config.find("try --family legacy."), std::string::npos) << config;
  f.origin = FamilyOrigin::Given;
  EXPECT_EQ(FailureSentence(f).find("discovery"), std::string::npos);
}

TEST(FailureSentenceTest, WordingFollowsWhatThePersonCanChange) {
  FailureFacts login = Facts(FailedStep::Login, ErrUnauthorized);
  EXPECT_NE(FailureSentence(login).find("refused the user name and password"), std::string::npos);
  login.passwordGiven = false;
  EXPECT_NE(FailureSentence(login).find("asks for a password"), std::string::npos);

  EXPECT_NE(FailureSentence(Facts(FailedStep::Save, ErrFailure)).find("--set"), std::string::npos);
  EXPECT_EQ(FailureSentence(Facts(FailedStep::Read, ErrFailure)).find("--set"), std::string::npos);
  EXPECT_NE(FailureSentence(Facts(FailedStep::Wps, Ok)).find("WPS button"), std::string::npos);

  FailureFacts silent = Facts(FailedStep::Login, ErrConnect);
  silent.origin = FamilyOrigin::NoAnswer;
  EXPECT_NE(FailureSentence(silent).find("did not answer the discovery request"),
            std::string::npos);
}

}  // namespace
}  // namespace orv::test
