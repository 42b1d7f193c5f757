#include "core/app/failure_sentence.h"

#include <array>

#include "core/camera_http/requests.h"

namespace orv {
namespace {

// What happened, and what to try, with {camera}, {family}, {other} and {result} filled in; a row
// that names the family also says where the family came from, since that is what a person would
// change.
struct Row {
  int result;
  std::string_view happened;
  std::string_view tryThis;
  bool aboutFamily;
};

constexpr std::array<Row, 8> kRows{{
    {ErrConnect, "No connection to the camera at {camera} (refused, or no answer within 2 seconds)",
     "check the address, --port, the cable and that the camera is on", false},
    {ErrSend, "The connection to the camera at {camera} was made but the request could not be sent",
     "try again, and check the cable if it keeps failing", false},
    {ErrNoResponse, "The camera at {camera} took the request but sent no answer",
     "it may be busy or restarting: wait a minute and try again", false},
    {ErrNotFound, "The camera at {camera} answered 404 Not Found to the {family} requests",
     "it may use the other family: try --family {other}", true},
    {ErrNotFoundOther, "The server at {camera} answered 404 Not Found to the {family} requests",
     "it may be a camera of the other family (try --family {other}) or no camera at all (check "
     "the address and --port)",
     true},
    {ErrFailure, "The camera at {camera} answered 402 Failure", "it could not do it now: try again",
     false},
    {ErrNoNetworkData,
     "The camera at {camera} sent its network settings without the wireless key fields",
     "it may use the other family: try --family {other}", true},
    {ErrUnauthorized, "The camera at {camera} refused the user name and password (Unauthorized)",
     "check --user and the password (--password-file FILE or ORVANTIS_PASSWORD)", false},
}};

// Result 0 on a failure: the step itself did not come off.
constexpr Row kScanFailed{0, "The camera at {camera} did not finish its scan for wireless networks",
                          "try again in a minute; the camera may have no wireless adapter", false};
constexpr Row kWpsFailed{0, "No router joined the WPS session of the camera at {camera} in time",
                         "press the router's WPS button within two minutes of the start and try "
                         "again",
                         false};
constexpr Row kUnknown{0, "The camera at {camera} failed with result {result}",
                       "try again with -v to see the exchange", false};
// Without any password the same answer means something else.
constexpr Row kNoPassword{ErrUnauthorized, "The camera at {camera} asks for a password",
                          "give it with --password-file FILE or ORVANTIS_PASSWORD", false};
// A refused save names the values the user gave.
constexpr std::string_view kRefusedSave = "it refused a value: check the --set values";

const Row& RowFor(const FailureFacts& f) {
  if (f.result == 0) {
    if (f.step == FailedStep::Read || f.step == FailedStep::Scan) return kScanFailed;
    if (f.step == FailedStep::Wps) return kWpsFailed;
    return kUnknown;
  }
  if (f.result == ErrUnauthorized && !f.passwordGiven) return kNoPassword;
  for (const Row& r : kRows)
    if (r.result == f.result) return r;
  return kUnknown;
}

std::string Fill(std::string_view text, const FailureFacts& f) {
  const std::string_view family = f.legacyFamily ? "legacy" : "config";
  const std::string_view other = f.legacyFamily ? "config" : "legacy";
  std::string out;
  while (!text.empty()) {
    const std::size_t open = text.find('{');
    const std::size_t close = text.find('}', open);
    if (open == std::string_view::npos || close == std::string_view::npos) break;
    out.append(text.substr(0, open));
    const std::string_view name = text.substr(open + 1, close - open - 1);
    if (name == "camera")
      out.append(f.camera);
    else if (name == "family")
      out.append(family);
    else if (name == "other")
      out.append(other);
    else if (name == "result")
      out.append(std::to_string(f.result));
    text.remove_prefix(close + 1);
  }
  out.append(text);
  return out;
}

}  // namespace

std::string FailureSentence(const FailureFacts& facts) {
  const Row& row = RowFor(facts);
  std::string out = Fill(row.happened, facts);
  if (row.aboutFamily) {
    if (facts.origin == FamilyOrigin::Discovery)
      out += " (the family its discovery reply names)";
    else if (facts.origin == FamilyOrigin::NoAnswer)
      out += " (assumed: the camera did not answer the discovery request)";
  } else if (facts.origin == FamilyOrigin::NoAnswer && row.result == ErrConnect) {
    out += " and it did not answer the discovery request";
  }
  out += "; ";
  out += facts.step == FailedStep::Save && facts.result == ErrFailure ? kRefusedSave
                                                                      : Fill(row.tryThis, facts);
  out += '.';
  return out;
}

}  // namespace orv
