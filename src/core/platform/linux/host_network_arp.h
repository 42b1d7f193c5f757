#pragma once
// One ARP request out of a named Ethernet adapter over a packet socket, shared by the programs'
// direct backend and orvantis-netd.

#include <chrono>
#include <cstdint>
#include <string>

#include "core/platform/host_network.h"
#include "core/platform/host_network_kernel.h"

namespace orv::linuxnet {

// Sends a request for target from source (0.0.0.0 for a probe) and waits up to timeout for the
// reply from target. error says why on ArpAnswer::Error.
ArpAnswer SendArpRequest(std::uint32_t ifIndex, const std::string& ifName, std::uint32_t target,
                         std::uint32_t source, std::chrono::milliseconds timeout,
                         const ArpHooks& hooks, std::string& error);

}  // namespace orv::linuxnet
