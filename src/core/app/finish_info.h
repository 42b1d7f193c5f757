#pragma once
// What the finish and link-server pages show of a camera and which web page they may open. The
// rows come from the network (a discovery reply, the link server's list), so nothing in them is
// trusted: a link is built only from a dotted quad and a port from 1 to 65535.

#include <optional>
#include <string>
#include <string_view>

#include "core/app/camera_pick.h"
#include "core/model/session_record.h"

namespace orv {

// The interface word of a description such as "Vexor-41HA/wireless"; Unknown when it names
// neither, and the page then shows no word (what it showed before was another camera's).
// "ethernet" wins when both occur.
enum class CameraInterface { Unknown, Wireless, Ethernet };
CameraInterface InterfaceOf(std::string_view description);
std::string_view to_string(CameraInterface kind);  // "wireless", "ethernet", ""

// The link-server status line: linked only when NATStat is exactly 1.
std::string_view NatStatusText(const SessionRecord& session);

// "http://" + address + ":" + port, as the row gives them.
std::string WebLinkText(std::string_view address, std::string_view port);

// The address and port a web page may be opened at; nothing unless both are sound.
std::optional<CameraTarget> CheckWebTarget(std::string_view address, std::string_view port);

}  // namespace orv
