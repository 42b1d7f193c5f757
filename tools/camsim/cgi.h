#pragma once
// The camera's and the link server's request handling, free of sockets so that it is easy to reason
// about: a request head goes in, the answer bytes come out, the camera's state changes.

#include <chrono>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "camsim.h"

namespace camsim::detail {

using Clock = std::chrono::steady_clock;

inline constexpr std::size_t kMaxHeadBytes = 8192;

// Index just past the empty line that ends a request head, or npos while it is incomplete.
std::size_t FindHeadEnd(std::string_view buffer);

// %XX sequences become bytes; anything else (a lone "%", "+") stays as it is.
std::string PercentDecode(std::string_view text);

// Standard base64 with "=" padding; nullopt on a character outside the alphabet.
std::optional<std::string> Base64Decode(std::string_view text);

struct Param {
  std::string key;
  std::optional<std::string> value;  // nullopt for a bare name ("&WPS")
};

struct ParsedRequest {
  bool valid = false;  // a "GET target HTTP/x" line was found
  std::string method, path;
  bool doubleQuestion = false;  // the target had "??" before the query
  std::vector<Param> params;
  std::optional<std::string> credentials;  // decoded "user:password" of a Basic header
};

ParsedRequest ParseRequestHead(std::string_view head);

// The WPS push-button session of one camera.
struct WpsState {
  bool started = false;
  Clock::time_point startedAt{};
};

struct CameraState {
  CameraConfig config;
  std::map<std::string, std::string> settings;
  WpsState wps;
};

struct Answer {
  std::string bytes;          // empty: say nothing (Fault::Silent)
  bool networkWrite = false;  // the camera must move once the answer is out
};

// Everything but the delivery faults (silent, never closing, trickle), which the server applies.
Answer AnswerCamera(CameraState& camera, const ParsedRequest& request, Clock::time_point now);

std::string AnswerLinkServer(const LinkServerConfig& server, const ParsedRequest& request);

// Common answers.
std::string NotFoundAnswer();
std::string OkAnswer(std::string_view body);

// Bodies, exposed for the tests of the exact texts.
std::string PageBody(const CameraState& camera, int page);  // 1, 3, 13, 23, 32, 34
std::string TimeBody(const CameraState& camera);
std::string ScanBody(const CameraState& camera);

}  // namespace camsim::detail
