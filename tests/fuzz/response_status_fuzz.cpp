// The failure texts searched in a camera's answer, on arbitrary bytes. Whatever else the answer
// holds, one of the failure texts never reads as success, the full 404 line outranks the rest, and
// "Unauthorized" counts only when asked for.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/camera_http/requests.h"
#include "core/camera_http/transport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  const auto holds = [answer](std::string_view t) { return answer.find(t) != answer.npos; };
  const int plain = orv::ResponseStatus(answer, false);
  const int checked = orv::ResponseStatus(answer, true);

  switch (plain) {
    case orv::Ok:
    case orv::ErrNotFound:
    case orv::ErrNotFoundOther:
    case orv::ErrFailure:
      break;
    default:
      std::abort();  // no other code, and no Unauthorized unless asked for
  }
  if (checked != plain && !(plain == orv::Ok && checked == orv::ErrUnauthorized)) std::abort();
  if (holds("HTTP/1.0 404 Not Found") && plain != orv::ErrNotFound) std::abort();
  if ((holds("404 Not Found") || holds("402 Failure")) && plain == orv::Ok) std::abort();
  if (plain == orv::Ok && holds("Unauthorized") && checked != orv::ErrUnauthorized) std::abort();
  if (plain == orv::ErrFailure && holds("404 Not Found")) std::abort();
  return 0;
}
