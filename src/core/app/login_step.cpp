#include "core/app/login_step.h"

#include "core/camera_http/requests.h"

namespace orv {

LoginOutcome RunLoginStep(SessionRecord& session, const CredentialsPrompt& prompt) {
  LoginOutcome outcome;
  session.userName.clear();
  session.password.clear();
  int last = Ok;
  for (int i = 0; i < 3; ++i) last = CameraRequest(session, kActRead, kPageSystem, 0);
  outcome.result = last;
  if (last != ErrUnauthorized) {
    // Any other result, a failure too, goes on: the read-all job reports its own code.
    outcome.ok = true;
    return outcome;
  }
  outcome.askedCredentials = true;
  const Credentials credentials = prompt ? prompt() : Credentials{};
  // Cutting a credential to the field would send something other than what was typed.
  if (credentials.userName.size() >= decltype(session.userName)::kWidth ||
      credentials.password.size() >= decltype(session.password)::kWidth) {
    outcome.credentialsTooLong = true;
    outcome.result = ErrUnauthorized;
    return outcome;
  }
  session.userName = credentials.userName;
  session.password = credentials.password;
  outcome.result = LoginRead(session);
  outcome.ok = outcome.result == Ok;
  return outcome;
}

}  // namespace orv
