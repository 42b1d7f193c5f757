#pragma once
// The system's adapters and their IPv4 facts, from one GetAdaptersAddresses call.
#include <cstdint>
#include <string>
#include <vector>

#include "core/platform/host_network.h"

namespace orv::win {

struct AdapterRow {
  AdapterInfo info;  // index, the friendly name, type by IfType, up by OperStatus
  bool loopback = false;
  std::vector<std::uint32_t> addresses;  // network order, as listed
  std::vector<int> prefixes;             // one per address
  std::vector<std::uint32_t> gateways;
  std::vector<std::uint32_t> dnsServers;
  bool dhcpEnabled = false;
  std::uint32_t dhcpServer = 0;  // 0: none known
};

// IfType 6 Ethernet, 71 802.11, 23 PPP; the rest Other.
AdapterType AdapterTypeFor(unsigned long ifType);

// False when the table cannot be read.
bool ReadAdapterTable(std::vector<AdapterRow>& out);

}  // namespace orv::win
