#include "core/platform/windows/adapter_table.h"

#include <cstring>
#include <vector>

#include "core/platform/windows/win_common.h"

namespace orv::win {
namespace {

bool Ipv4Of(const SOCKET_ADDRESS& a, std::uint32_t& out) {
  if (a.lpSockaddr == nullptr || a.lpSockaddr->sa_family != AF_INET ||
      a.iSockaddrLength < static_cast<INT>(sizeof(sockaddr_in))) {
    return false;
  }
  sockaddr_in sin{};
  std::memcpy(&sin, a.lpSockaddr, sizeof sin);
  out = sin.sin_addr.s_addr;
  return true;
}

}  // namespace

AdapterType AdapterTypeFor(unsigned long ifType) {
  switch (ifType) {
    case IF_TYPE_ETHERNET_CSMACD:
      return AdapterType::Ethernet;
    case IF_TYPE_IEEE80211:
      return AdapterType::Wireless;
    case IF_TYPE_PPP:
      return AdapterType::Ppp;
    default:
      return AdapterType::Other;
  }
}

bool ReadAdapterTable(std::vector<AdapterRow>& out) {
  out.clear();
  const ULONG flags = GAA_FLAG_INCLUDE_GATEWAYS | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST;
  // The table may grow between the size query and the read: a few tries, each with the new size.
  ULONG size = 16 * 1024;
  std::vector<unsigned char> buffer;
  ULONG rc = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 4 && rc == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.assign(size, 0);
    rc = ::GetAdaptersAddresses(AF_INET, flags, nullptr,
                                reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (rc == ERROR_NO_DATA) return true;
  if (rc != NO_ERROR) return false;
  for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a != nullptr;
       a = a->Next) {
    AdapterRow row;
    row.info.index = a->IfIndex;
    row.info.name = a->FriendlyName != nullptr ? Utf8(a->FriendlyName) : std::string();
    row.info.type = AdapterTypeFor(a->IfType);
    row.info.up = a->OperStatus == IfOperStatusUp;
    row.loopback = a->IfType == IF_TYPE_SOFTWARE_LOOPBACK;
    for (auto* u = a->FirstUnicastAddress; u != nullptr; u = u->Next) {
      std::uint32_t v = 0;
      if (!Ipv4Of(u->Address, v)) continue;
      row.addresses.push_back(v);
      row.prefixes.push_back(u->OnLinkPrefixLength);
    }
    for (auto* g = a->FirstGatewayAddress; g != nullptr; g = g->Next) {
      std::uint32_t v = 0;
      if (Ipv4Of(g->Address, v)) row.gateways.push_back(v);
    }
    for (auto* d = a->FirstDnsServerAddress; d != nullptr; d = d->Next) {
      std::uint32_t v = 0;
      if (Ipv4Of(d->Address, v)) row.dnsServers.push_back(v);
    }
    row.dhcpEnabled = (a->Flags & IP_ADAPTER_DHCP_ENABLED) != 0;
    std::uint32_t server = 0;
    if (row.dhcpEnabled && Ipv4Of(a->Dhcpv4Server, server)) row.dhcpServer = server;
    out.push_back(std::move(row));
  }
  return true;
}

}  // namespace orv::win
