#include "core/hostnet/host_facts.h"

#include <cstdio>

#include "core/util/ipv4.h"

namespace orv {

int ChooseAdapter(HostNetwork& net, SessionRecord& session,
                  const std::function<void(std::string_view)>& diagnostics) {
  std::vector<AdapterInfo> adapters;
  std::string errorText;
  const int rc = net.ListAdapters(adapters, errorText);
  if (rc != 0) {
    if (rc != kHostNetNoData) {
      const std::string line = "\tError: " + errorText + "\n";
      if (diagnostics) {
        diagnostics(line);
      } else {
        std::fputs(line.c_str(), stdout);
        std::fflush(stdout);
      }
    }
    return rc;
  }
  for (const AdapterInfo& a : adapters) {
    if (!a.up) continue;
    switch (a.type) {
      case AdapterType::Ethernet:
        session.pcIfIndex = a.index;
        session.pcHasLan = 1;
        break;
      case AdapterType::Ppp:
        session.pcHasPpp = 1;
        break;
      case AdapterType::Wireless:
        session.pcIfIndex = a.index;
        session.pcHasWifi = 1;
        session.pcHasLan = 1;
        break;
      case AdapterType::Other:
        break;
    }
  }
  return 0;
}

void ReadAdapterDetails(HostNetwork& net, SessionRecord& session) {
  AdapterDetails d;
  if (net.ReadAdapterDetails(session.pcIfIndex, d)) {
    if (!d.addressTexts.empty()) session.pcAddrText = d.addressTexts.front();
    if (!d.maskTexts.empty()) session.pcMaskText = d.maskTexts.front();
    if (!d.gatewayTexts.empty()) session.pcGatewayText = d.gatewayTexts.front();
    if (d.dhcpEnabled != 0) {
      session.pcDhcp = 1;
      // Enabled without a lease: the server address is empty or zero, so not dynamic after all.
      if (d.dhcpEnabled == 1 && d.dhcpServerText)
        session.pcDhcp = ParseIpv4OrZero(*d.dhcpServerText) != 0 ? 1 : 0;
    }
  }
  std::string dns;
  if (net.ReadDnsServer(session.pcIfIndex, dns)) session.pcDnsText = dns;
}

void ReadPppoeCredentials(SessionRecord& session,
                          const std::function<std::optional<PppoeEntry>()>& phoneBook) {
  if (!phoneBook) return;
  const std::optional<PppoeEntry> entry = phoneBook();
  if (!entry) return;
  session.pcPppoeUser = entry->user;
  if (entry->password) session.pcPppoePassword = *entry->password;
}

void ReadPppoeCredentials(SessionRecord& session, const std::string& fileRoot) {
  ReadPppoeCredentials(session, [&fileRoot] { return ReadFirstPppoeEntry(fileRoot); });
}

}  // namespace orv
