#pragma once
// The login step before the read-all job: three system reads and, when the camera refuses them,
// one prompt for credentials and the login read.

#include <functional>
#include <string>

#include "core/model/session_record.h"

namespace orv {

struct Credentials {
  std::string userName = "root";
  std::string password;
};

// Stands in for the root login dialog; asked at most once. A cancelled dialog answers "root" and
// an empty password, which is what an empty prompt gives as well.
using CredentialsPrompt = std::function<Credentials()>;

struct LoginOutcome {
  bool ok = false;                  // go on with the read-all job
  bool askedCredentials = false;    // the camera refused the empty credentials
  bool credentialsTooLong = false;  // refused without sending: they do not fit the 63-byte fields
  int result = 0;  // the third system read, or the login read when credentials were asked
};

// Clears the credentials, sends the system read three times (the last result counts) and, when the
// camera answers "Unauthorized", asks for credentials and sends the login read once.
LoginOutcome RunLoginStep(SessionRecord& session, const CredentialsPrompt& prompt);

}  // namespace orv
