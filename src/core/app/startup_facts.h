#pragma once
// The facts the main window reads about the PC once, at start-up: which adapter reaches the
// cameras, its address details, and the dial-up account when a PPP link is up.

#include <functional>
#include <optional>
#include <string_view>

#include "core/model/session_record.h"
#include "core/platform/host_network.h"
#include "core/platform/host_network_pppoe.h"

namespace orv {

using PhoneBookReader = std::function<std::optional<PppoeEntry>()>;

// Clears what start-up clears (extendedCgi, the capability fields, pcHasPpp, pcHasLan), then
// ChooseAdapter and ReadAdapterDetails, then the PPPoE account when pcHasPpp is 1. The adapter
// list's "\tError: ..." line goes to diagnostics (standard output when unset). Returns the adapter
// list's result code.
int ReadStartupFacts(HostNetwork& net, SessionRecord& s, const PhoneBookReader& phoneBook,
                     const std::function<void(std::string_view)>& diagnostics = {});

}  // namespace orv
