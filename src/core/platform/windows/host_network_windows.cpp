// Windows host network: adapter facts from GetAdaptersAddresses, the temporary address by the
// unicast address table (a finite lifetime, renewed while the program runs, so a killed program
// leaves nothing behind for long) and ARP requests by SendARP. Adding an address needs an
// elevated process; without one the add fails with a sentence that says so.
#include <algorithm>
#include <cerrno>
#include <mutex>
#include <optional>

#include "core/platform/env.h"
#include "core/platform/host_network.h"
#include "core/platform/host_network_state.h"
#include "core/platform/windows/ip_helper.h"
#include "core/util/ipv4.h"

namespace orv::win {
namespace {

std::uint32_t MaskFromPrefix(int prefix) {
  if (prefix <= 0) return 0;
  if (prefix >= 32) return 0xFFFFFFFFu;
  const std::uint32_t host = 0xFFFFFFFFu << (32 - prefix);
  // Network order: the first octet in the first byte.
  return MakeIpv4(static_cast<std::uint8_t>(host >> 24), static_cast<std::uint8_t>(host >> 16),
                  static_cast<std::uint8_t>(host >> 8), static_cast<std::uint8_t>(host));
}

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string out = n > 0 ? Utf8(std::wstring_view(text, n)) : std::string();
  if (text != nullptr) ::LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.'))
    out.pop_back();
  return (out.empty() ? "system error" : out) + " (" + std::to_string(code) + ")";
}

int ErrnoFor(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
      return EACCES;
    case ERROR_OBJECT_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
      return ENOENT;
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED:
      return ENOSYS;
    default:
      return EIO;
  }
}

struct HeldAddress {
  std::uint32_t ifIndex = 0;
  std::uint32_t addr = 0;
  int prefix = 0;
};

class WindowsHostNetwork final : public HostNetwork {
 public:
  WindowsHostNetwork(HostNetworkOptions options, std::unique_ptr<IpHelper> helper)
      : m_opt(std::move(options)), m_ip(std::move(helper)) {}

  int ListAdapters(std::vector<AdapterInfo>& out, std::string& errorText) override {
    std::vector<AdapterRow> rows;
    if (!m_ip->ReadAdapters(rows)) {
      errorText = "GetAdaptersAddresses failed";
      return EIO;
    }
    out.clear();
    for (const AdapterRow& row : rows)
      if (!row.loopback) out.push_back(row.info);
    // The adapter the user named goes last: the last usable adapter is the one chosen.
    const std::string& wanted = m_opt.adapterOverride;
    const auto named = std::find_if(out.begin(), out.end(),
                                    [&](const AdapterInfo& a) { return a.name == wanted; });
    if (!wanted.empty() && named != out.end()) std::rotate(named, named + 1, out.end());
    return out.empty() ? kHostNetNoData : 0;
  }

  bool ReadAdapterDetails(std::uint32_t ifIndex, AdapterDetails& out) override {
    std::vector<AdapterRow> rows;
    const AdapterRow* row = Find(rows, ifIndex);
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
    std::vector<AdapterRow> rows;
    const AdapterRow* row = Find(rows, ifIndex);
    if (row == nullptr || row->dnsServers.empty()) return false;
    out = FormatIpv4(row->dnsServers.front());
    return true;
  }

  bool ReadAddressTable(std::vector<std::uint32_t>& out) override {
    std::vector<AdapterRow> rows;
    if (!m_ip->ReadAdapters(rows)) return false;
    out.clear();
    for (const AdapterRow& row : rows)
      out.insert(out.end(), row.addresses.begin(), row.addresses.end());
    return true;
  }

  int AddAddress(std::uint32_t addr, std::uint32_t mask, std::uint32_t ifIndex,
                 std::uint32_t /*camera*/, std::uint32_t& context) override {
    const int prefix = Ipv4PrefixLength(mask);
    if (prefix < 0 || addr == 0) return SetError(EINVAL, "adding an address: invalid address");
    if (ifIndex == 0) return SetError(ENODEV, "adding an address: no adapter chosen");
    std::lock_guard lock(m_addrMutex);
    const HeldAddress a{ifIndex, addr, prefix};
    const DWORD rc = m_ip->CreateAddress(RowFor(a));
    if (rc != NO_ERROR) return Failed("adding", a, rc);
    context = m_added.Add(a);
    return 0;
  }

  int DeleteAddress(std::uint32_t context) override {
    std::lock_guard lock(m_addrMutex);
    const std::optional<HeldAddress> a = m_added.Take(context);
    if (!a) return SetError(ENOENT, "deleting an address: unknown context");
    const DWORD rc = m_ip->DeleteAddress(RowFor(*a));
    // Gone already (its lifetime ran out, or someone removed it): nothing left to do.
    if (rc == NO_ERROR || rc == ERROR_NOT_FOUND) return 0;
    return Failed("deleting", *a, rc);
  }

  int RefreshAddress(std::uint32_t context) override {
    // Under the same lock as deletion, so a refresh never brings back a deleted address.
    std::lock_guard lock(m_addrMutex);
    const HeldAddress* held = m_added.Find(context);
    if (held == nullptr) return ENOENT;
    const MIB_UNICASTIPADDRESS_ROW row = RowFor(*held);
    DWORD rc = m_ip->SetAddress(row);
    // Lost meanwhile (a lifetime that ran out while the system slept): made again while held.
    if (rc == ERROR_NOT_FOUND) rc = m_ip->CreateAddress(row);
    return rc == NO_ERROR ? 0 : Failed("renewing", *held, rc);
  }

  ArpAnswer SendArpOn(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source) override {
    std::vector<AdapterRow> rows;
    if (!m_ip->ReadAdapters(rows)) {
      SetError(EIO, "ARP: GetAdaptersAddresses failed");
      return ArpAnswer::Error;
    }
    for (const AdapterRow& row : rows)
      if (std::find(row.addresses.begin(), row.addresses.end(), target) != row.addresses.end())
        return ArpAnswer::Answered;
    // SendARP leaves the adapter to the source address: an adapter given without a source is
    // reached through its first address.
    if (source == 0 && ifIndex != 0) {
      for (const AdapterRow& row : rows)
        if (row.info.index == ifIndex && !row.addresses.empty()) source = row.addresses.front();
    }
    ULONG macLength = 0;
    const DWORD rc = m_ip->SendArp(target, source, macLength);
    switch (rc) {
      case NO_ERROR:
        return macLength > 0 ? ArpAnswer::Answered : ArpAnswer::NoAnswer;
      // No reply within the system's ARP wait (ERROR_GEN_FAILURE on older systems).
      case ERROR_BAD_NET_NAME:
      case ERROR_GEN_FAILURE:
        return ArpAnswer::NoAnswer;
      default:
        SetError(ErrnoFor(rc), "ARP request for " + FormatIpv4(target) + " from " +
                                   FormatIpv4(source) + ": " + SystemMessage(rc));
        return ArpAnswer::Error;
    }
  }

  bool AddedAddress(std::uint32_t context, std::uint32_t& addr, std::uint32_t& ifIndex) override {
    std::lock_guard lock(m_addrMutex);
    return m_added.Lookup(context, addr, ifIndex);
  }

  bool AdapterOverridden() const override { return !m_opt.adapterOverride.empty(); }

  std::string LastError() const override { return m_error.Get(); }

 private:
  const AdapterRow* Find(std::vector<AdapterRow>& rows, std::uint32_t ifIndex) {
    if (ifIndex == 0 || !m_ip->ReadAdapters(rows)) return nullptr;
    for (const AdapterRow& row : rows)
      if (row.info.index == ifIndex) return &row;
    return nullptr;
  }

  // The row of an address of ours: manual, usable at once (the free-address search has asked the
  // subnet already), and gone by itself when no refresh comes.
  MIB_UNICASTIPADDRESS_ROW RowFor(const HeldAddress& a) const {
    MIB_UNICASTIPADDRESS_ROW row = m_ip->NewAddressRow();
    row.InterfaceIndex = a.ifIndex;
    row.Address.si_family = AF_INET;
    row.Address.Ipv4.sin_family = AF_INET;
    row.Address.Ipv4.sin_addr.s_addr = a.addr;
    row.OnLinkPrefixLength = static_cast<UINT8>(a.prefix);
    row.PrefixOrigin = IpPrefixOriginManual;
    row.SuffixOrigin = IpSuffixOriginManual;
    row.DadState = IpDadStatePreferred;
    // 0xFFFFFFFF would be infinite.
    const auto life =
        static_cast<ULONG>(std::clamp<long long>(m_opt.addressLifetime.count(), 1, 0xFFFFFFFEll));
    row.ValidLifetime = life;
    row.PreferredLifetime = life;
    return row;
  }

  int Failed(const char* what, const HeldAddress& a, DWORD rc) {
    std::string text = std::string(what) + " " + FormatIpv4(a.addr) + "/" +
                       std::to_string(a.prefix) + ": " + SystemMessage(rc);
    if (rc == ERROR_ACCESS_DENIED)
      text += ": run Orvantis as administrator to reach a camera in another subnet";
    return SetError(ErrnoFor(rc), std::move(text));
  }
  int SetError(int code, std::string text) { return m_error.Set(code, std::move(text)); }

  HostNetworkOptions m_opt;
  std::unique_ptr<IpHelper> m_ip;
  os::LastErrorText m_error;
  std::mutex m_addrMutex;  // around m_added and every add, refresh and delete
  os::AddedAddresses<HeldAddress> m_added;
};

class SystemCalls final : public IpHelper {
 public:
  bool ReadAdapters(std::vector<AdapterRow>& out) override { return ReadAdapterTable(out); }
  MIB_UNICASTIPADDRESS_ROW NewAddressRow() override {
    MIB_UNICASTIPADDRESS_ROW row;
    ::InitializeUnicastIpAddressEntry(&row);
    return row;
  }
  DWORD CreateAddress(const MIB_UNICASTIPADDRESS_ROW& row) override {
    return ::CreateUnicastIpAddressEntry(&row);
  }
  DWORD SetAddress(const MIB_UNICASTIPADDRESS_ROW& row) override {
    MIB_UNICASTIPADDRESS_ROW copy = row;  // the call's parameter is not const
    return ::SetUnicastIpAddressEntry(&copy);
  }
  DWORD DeleteAddress(const MIB_UNICASTIPADDRESS_ROW& row) override {
    return ::DeleteUnicastIpAddressEntry(&row);
  }
  DWORD SendArp(std::uint32_t target, std::uint32_t source, ULONG& macLength) override {
    ULONG mac[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};  // six bytes used, eight reserved
    macLength = 6;
    const DWORD rc = ::SendARP(target, source, mac, &macLength);
    if (rc != NO_ERROR) macLength = 0;
    return rc;
  }
};

}  // namespace

std::unique_ptr<IpHelper> SystemIpHelper() {
  return std::make_unique<SystemCalls>();
}

std::unique_ptr<HostNetwork> CreateWindowsHostNetwork(HostNetworkOptions options,
                                                      std::unique_ptr<IpHelper> helper) {
  if (options.adapterOverride.empty())
    if (auto a = EnvOverride("ORVANTIS_ADAPTER")) options.adapterOverride = *a;
  return std::make_unique<WindowsHostNetwork>(std::move(options), std::move(helper));
}

}  // namespace orv::win

namespace orv {

std::unique_ptr<HostNetwork> CreateHostNetwork(const HostNetworkOptions& options) {
  return win::CreateWindowsHostNetwork(options, win::SystemIpHelper());
}

}  // namespace orv
