#pragma once
// The PC adapter facts of the session record, read once at start-up.

#include <functional>
#include <optional>
#include <string_view>

#include "core/model/session_record.h"
#include "core/platform/host_network.h"
#include "core/platform/host_network_pppoe.h"

namespace orv {

// Visits the up adapters in system order: Ethernet and wireless ones set pcHasLan (wireless also
// pcHasWifi) and the last of them becomes pcIfIndex; PPP ones set pcHasPpp. On a failure other
// than "no adapters", writes "\tError: <reason>\n" to diagnostics (standard output when unset) and
// leaves the record alone. Returns the list's result code.
int ChooseAdapter(HostNetwork& net, SessionRecord& session,
                  const std::function<void(std::string_view)>& diagnostics = {});

// Address, mask, gateway, DHCP flag and DNS server of the adapter pcIfIndex; what cannot be read
// stays empty.
void ReadAdapterDetails(HostNetwork& net, SessionRecord& session);

// pcPppoeUser and pcPppoePassword from the first phone-book entry; both stay empty when there is
// none. Text is taken byte for byte and cut to the field width.
void ReadPppoeCredentials(SessionRecord& session,
                          const std::function<std::optional<PppoeEntry>()>& phoneBook);
void ReadPppoeCredentials(SessionRecord& session, const std::string& fileRoot = {});

}  // namespace orv
