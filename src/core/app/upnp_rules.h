#pragma once
// The UPnP and ports page: the port texts, and what Next stores and checks.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

// A port as the page shows it: the number in decimal, read as a signed 32-bit value.
std::string PortFieldText(std::uint32_t port);

// A typed port: leading white space, an optional sign, then the leading digits; a text that does
// not start with a number gives 0. A number beyond the 32-bit range saturates rather than wraps, so
// a huge number stays out of range instead of coming back as a valid port.
std::uint32_t ParseTypedPort(std::string_view text);

enum class UpnpProblem {
  None,
  HttpPort,    // not 80 and not 1025..65535
  StreamPort,  // not 1025..65535 and not the model's low second port
  RtspPort,    // not 554 and not 1025..65535
  HttpEqualsStream,
  HttpEqualsRtsp,
  StreamEqualsRtsp,
};

struct UpnpTyped {
  bool upnp = false;
  std::string_view httpPort;  // the three fields as typed
  std::string_view streamPort;
  std::string_view rtspPort;
};

// Next: UPnPE and the three ports are stored first (a refused port stays in the record until it is
// corrected), then checked in order; the first problem is the one reported.
UpnpProblem UpnpNextChecked(SessionRecord& session, const UpnpTyped& typed);

}  // namespace orv
