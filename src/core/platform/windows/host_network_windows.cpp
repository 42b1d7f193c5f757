// Windows host network. The adapter facts come from GetAdaptersAddresses. Adding the temporary
// address (CreateUnicastIpAddressEntry), the ARP request (SendARP) and the dial-up phone book
// (RasEnumConnections) are not available yet: those calls fail with ENOSYS and LastError() says
// so, never a silent success, so the program takes its documented "cannot add" path. The adapter
// override (ORVANTIS_ADAPTER) is not read yet either.
#include <cerrno>

#include "core/platform/host_network.h"
#include "core/platform/host_network_pppoe.h"
#include "core/platform/windows/adapter_table.h"
#include "core/util/ipv4.h"

namespace orv {
namespace {

constexpr const char* kNotYet = "not available on Windows yet";

std::uint32_t MaskFromPrefix(int prefix) {
  if (prefix <= 0) return 0;
  if (prefix >= 32) return 0xFFFFFFFFu;
  const std::uint32_t host = 0xFFFFFFFFu << (32 - prefix);
  // Network order: the first octet in the first byte.
  return MakeIpv4(static_cast<std::uint8_t>(host >> 24), static_cast<std::uint8_t>(host >> 16),
                  static_cast<std::uint8_t>(host >> 8), static_cast<std::uint8_t>(host));
}

class WindowsHostNetwork final : public HostNetwork {
 public:
  int ListAdapters(std::vector<AdapterInfo>& out, std::string& errorText) override {
    std::vector<win::AdapterRow> rows;
    if (!win::ReadAdapterTable(rows)) {
      errorText = "GetAdaptersAddresses failed";
      return EIO;
    }
    out.clear();
    for (const win::AdapterRow& row : rows)
      if (!row.loopback) out.push_back(row.info);
    return out.empty() ? kHostNetNoData : 0;
  }

  bool ReadAdapterDetails(std::uint32_t ifIndex, AdapterDetails& out) override {
    const win::AdapterRow* row = Find(ifIndex);
    if (row == nullptr) return false;
    AdapterDetails d;
    for (std::size_t i = 0; i < row->addresses.size(); ++i) {
      d.addressTexts.push_back(FormatIpv4(row->addresses[i]));
      d.maskTexts.push_back(FormatIpv4(MaskFromPrefix(row->prefixes[i])));
    }
    for (std::uint32_t g : row->gateways) d.gatewayTexts.push_back(FormatIpv4(g));
    if (row->dhcpEnabled) {
      d.dhcpEnabled = 1;
      d.dhcpServerText = row->dhcpServer != 0 ? FormatIpv4(row->dhcpServer) : std::string();
    }
    out = std::move(d);
    return true;
  }

  bool ReadDnsServer(std::uint32_t ifIndex, std::string& out) override {
    const win::AdapterRow* row = Find(ifIndex);
    if (row == nullptr || row->dnsServers.empty()) return false;
    out = FormatIpv4(row->dnsServers.front());
    return true;
  }

  bool ReadAddressTable(std::vector<std::uint32_t>& out) override {
    std::vector<win::AdapterRow> rows;
    if (!win::ReadAdapterTable(rows)) return false;
    out.clear();
    for (const win::AdapterRow& row : rows)
      out.insert(out.end(), row.addresses.begin(), row.addresses.end());
    return true;
  }

  int AddAddress(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                 std::uint32_t&) override {
    return NotYet("adding a temporary address");
  }
  int DeleteAddress(std::uint32_t) override { return NotYet("removing a temporary address"); }
  int RefreshAddress(std::uint32_t) override { return NotYet("renewing a temporary address"); }
  ArpAnswer SendArpOn(std::uint32_t, std::uint32_t, std::uint32_t) override {
    NotYet("an ARP request");
    return ArpAnswer::Error;
  }
  std::string LastError() const override { return m_error; }

 private:
  int NotYet(const char* what) {
    m_error = std::string(what) + ": " + kNotYet;
    return ENOSYS;
  }
  const win::AdapterRow* Find(std::uint32_t ifIndex) {
    if (ifIndex == 0 || !win::ReadAdapterTable(m_rows)) return nullptr;
    for (const win::AdapterRow& row : m_rows)
      if (row.info.index == ifIndex) return &row;
    return nullptr;
  }

  std::vector<win::AdapterRow> m_rows;
  std::string m_error;
};

}  // namespace

std::unique_ptr<HostNetwork> CreateHostNetwork(const HostNetworkOptions&) {
  return std::make_unique<WindowsHostNetwork>();
}

// The dial-up phone book is not read yet: "none known", which the link rules treat as no PPPoE
// connection on this PC.
std::optional<PppoeEntry> ReadFirstPppoeEntry(const std::string&) {
  return std::nullopt;
}

}  // namespace orv
