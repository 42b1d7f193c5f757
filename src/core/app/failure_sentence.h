#pragma once
// What a failed camera step means and what to try, in one sentence for a person at a terminal:
// the command-line tool prints it beside the bare result code that scripts read.

#include <string>
#include <string_view>

namespace orv {

// The step of a command that failed.
enum class FailedStep { Login, Read, Save, Scan, WpsStart, Wps };

// Where the request family came from.
enum class FamilyOrigin {
  Given,      // --desc or --family
  Discovery,  // the description in the camera's discovery reply
  NoAnswer,   // the camera did not answer discovery: the legacy family was assumed
};

struct FailureFacts {
  FailedStep step = FailedStep::Read;
  int result = 0;            // the request's result code; 0 for a failed scan or WPS session
  bool legacyFamily = true;  // the family the requests used
  FamilyOrigin origin = FamilyOrigin::Given;
  bool passwordGiven = false;  // a password came from an option, a file or the environment
  std::string_view camera;     // "address:port", named in the sentence
};

// One sentence ending in a full stop, for every result code (unknown ones included).
std::string FailureSentence(const FailureFacts& facts);

}  // namespace orv
