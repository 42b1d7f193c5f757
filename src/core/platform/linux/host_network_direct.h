#pragma once
// The two ways this system's HostNetwork does privileged work: directly (the process holds the
// network capabilities, or is root) or through orvantis-netd, the helper that holds them.

#include <memory>
#include <string>

#include "core/platform/host_network.h"

namespace orv {

// Netlink and ARP in this process.
std::unique_ptr<HostNetwork> CreateDirectHostNetwork(const HostNetworkOptions& options);

// Reads in this process; adds, removals, refreshes and ARP requests through the helper at
// helperPath, started on first need.
std::unique_ptr<HostNetwork> CreateHelperHostNetwork(const HostNetworkOptions& options,
                                                     std::string helperPath);

// The helper beside this program or in the installed program folder; empty when there is none.
std::string FindNetworkHelper();

}  // namespace orv
